// SPDX-License-Identifier: MIT
// api/lifecycle.h: the one-time initialisation, start-up, shutdown and the
// forced update behind InitSDK, DeinitSDK and UpdateRegistry.
#pragma once

#include <cstdint>

namespace nessel {

// Registers the encodings and builds the nameprep tables once per process;
// 1 on success.  A failure leaves the library uninitialised.
[[nodiscard]] int init_once();
// True once init_once has completed.
bool init_done();

uint32_t init_sdk();
uint32_t deinit_sdk();
int update_registry();

}  // namespace nessel
