#pragma once
#include "gui/gui.h"
