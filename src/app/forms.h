#pragma once
#include "gui/forms.h"
