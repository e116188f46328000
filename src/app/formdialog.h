#pragma once
#include "gui/formdialog.h"
