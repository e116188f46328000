#pragma once
#include "shell/resources.h"
