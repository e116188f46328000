#pragma once
#include "gui/undonotice.h"
