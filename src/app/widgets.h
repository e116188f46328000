#pragma once
#include "gui/widgets.h"
