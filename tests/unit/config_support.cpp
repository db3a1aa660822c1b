// SPDX-License-Identifier: MIT
// tests/unit/config_support.cpp: the configuration test support lives in
// config_support.h; this file is only listed by the build.
#include "config_support.h"
