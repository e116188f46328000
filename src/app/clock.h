#pragma once
#include "gui/clock.h"
