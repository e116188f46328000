#pragma once
#include "gui/changes.h"
