// SPDX-License-Identifier: MIT
// config/registry.h: the registry layout of the zone configuration and the
// two value accessors that the zone table, the import and the update share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "config/platform.h"

namespace nessel {

// Keys under HKEY_CURRENT_USER.
inline constexpr std::string_view kTalvexClientKey = "SOFTWARE\\Talvex international inc.\\Talvex Client";
inline constexpr std::string_view kDnsfKey = "SOFTWARE\\Talvex international inc.\\Talvex Client\\DNSF";

// Reads one value: opens (creating when absent) root\subkey, queries name
// into buffer of *size bytes.  *type and *size receive the stored type and
// byte count; kErrorMoreData (buffer untouched) when the data does not fit.
// Returns a Win32 status; the caller's type is not compared with the stored one.
[[nodiscard]] int reg_read_value(platform::RegRoot root, std::string_view subkey,
                                 std::string_view name, uint32_t* type, void* buffer,
                                 uint32_t* size);
// Writes one value with the given type and exactly size bytes of data,
// creating the key when absent.  Returns a Win32 status.
int reg_write_value(platform::RegRoot root, std::string_view subkey, std::string_view name,
                    uint32_t type, const void* data, uint32_t size);

// reg_read_value with a 260-byte buffer, as the text values are read: the
// text up to its first zero byte.
[[nodiscard]] int reg_read_text(std::string_view subkey, std::string_view name, std::string& text);
// reg_read_value with a 4-byte buffer into a number that starts at 0; value
// keeps its content when the read fails.
[[nodiscard]] int reg_read_dword(std::string_view subkey, std::string_view name, uint32_t& value);
// REG_SZ with the terminating zero counted, and REG_DWORD as 4 bytes.
int reg_write_text(std::string_view subkey, std::string_view name, std::string_view text);
int reg_write_dword(std::string_view subkey, std::string_view name, uint32_t value);

// A "%d" conversion of the standard formatted-input functions at the start of
// text: white space, an optional sign, decimal digits up to the first other
// character.  1 when a number was read.  Numbers beyond the 32-bit range are
// clamped to it (the C functions leave that case undefined).
[[nodiscard]] int scan_decimal(std::string_view text, int32_t& value);

}  // namespace nessel
