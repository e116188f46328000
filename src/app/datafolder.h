#pragma once
#include "shell/datafolder.h"
