#pragma once
#include "gui/views.h"
