// SPDX-License-Identifier: MIT
// config/update.h: the online update of the zone configuration.
#pragma once

#include <cstdint>
#include <string_view>

#include "config/platform.h"

namespace nessel {

// The download server when the registry names none (UpdateServerURL).
inline constexpr std::string_view kBuiltinServerUrl = "http://update.nessel.invalid";
// Seconds between two unforced updates, in both directions of the clock.
inline constexpr int64_t kUpdateInterval = 259200;
// Consecutive failed reads after which a transfer is given up.
inline constexpr int kMaxReadRetries = 3;

// Fetches the configuration file from the download server and imports it.
// 1 when the transfer ended (with or without an import), 0 when a forced
// update cannot connect or the temporary file cannot be created.
// bounds limit the transfer (tests give short ones).
[[nodiscard]] int fetch_config_update(int force, const platform::TransferBounds& bounds = {});
// 1 when an unforced update is due: no LastUpdateTime, or it lies at least
// three days before or after the current time.
[[nodiscard]] int update_due();
// update_due for a given current time (seconds since 1970, as 32 bits).
[[nodiscard]] int update_due_at(int32_t now);
// Writes the current time as LastUpdateTime.
void stamp_update_time();
// Runs the fetch when an update is due or force is set, then stamps the time.
void maybe_update(int force);

}  // namespace nessel
