#pragma once
#include "gui/offthread.h"
