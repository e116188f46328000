#pragma once
#include "shell/module1.h"
