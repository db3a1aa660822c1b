// SPDX-License-Identifier: MIT
// config/update.cpp: the online update.
#include "config/update.h"

namespace nessel {

// No download transport is available: a forced update cannot connect.
int fetch_config_update(int force) { return force ? 0 : 1; }

void stamp_update_time() {}

void maybe_update(int) {}

}  // namespace nessel
