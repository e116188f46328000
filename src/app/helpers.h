#pragma once
#include "gui/helpers.h"
