#pragma once
#include "gui/prompt.h"
