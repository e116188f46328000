#pragma once
#include "shell/singleinstance.h"
