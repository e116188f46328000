#pragma once
#include "gui/appinfo.h"
