#pragma once
#include "shell/mdifrm.h"
