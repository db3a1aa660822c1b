// SPDX-License-Identifier: MIT
// config/import.h: finding the configuration file "pellow.ini" and importing
// its registry entries.
#pragma once

#include <string>

namespace nessel {

// Most entries an import reads (entry names carry five digits).
inline constexpr unsigned kMaxImportEntries = 99999;

// Imports the [Pellow] entries of the file at path into the registry,
// replacing the DNSF key's values, then records NumOfDomainName and
// LastUpdateVersion.  1 when imported; 0 when the file holds no entries, or
// the store cannot be used (nothing changed then), or the file cannot be
// reopened for its version.
int import_config_file(const std::string& path);

// Finds the configuration file (InstallPath, else the search path) and
// imports it.  1 when a file was found and handed to the import, else 0.
int locate_config_file();

}  // namespace nessel
