#pragma once
#include "shell/reminderclock.h"
