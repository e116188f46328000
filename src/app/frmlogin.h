#pragma once
#include "shell/frmlogin.h"
