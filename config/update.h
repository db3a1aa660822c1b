// SPDX-License-Identifier: MIT
// config/update.h: the online update of the zone configuration.
#pragma once

namespace nessel {

// Fetches the configuration file from the download server and imports it.
// 1 when the transfer ended (with or without an import), 0 when a forced
// update cannot connect or the temporary file cannot be created.
[[nodiscard]] int fetch_config_update(int force);
// Writes the current time as LastUpdateTime.
void stamp_update_time();
// Runs the fetch when an update is due or force is set, then stamps the time.
void maybe_update(int force);

}  // namespace nessel
