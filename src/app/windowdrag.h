#pragma once
#include "gui/windowdrag.h"
