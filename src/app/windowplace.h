#pragma once
#include "gui/windowplace.h"
