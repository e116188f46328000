#pragma once
#include "gui/shell.h"
