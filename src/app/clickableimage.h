#pragma once
#include "gui/clickableimage.h"
