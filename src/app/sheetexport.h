#pragma once
#include "gui/sheetexport.h"
