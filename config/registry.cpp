// SPDX-License-Identifier: MIT
// config/registry.cpp: one registry value read or written per call, the key
// opened and closed around it.
#include "config/registry.h"

#include <cstring>

namespace nessel {

using platform::RegKey;
using platform::RegRoot;

int reg_read_value(RegRoot root, std::string_view subkey, std::string_view name, uint32_t* type,
                   void* buffer, uint32_t* size) {
    RegKey* key = nullptr;
    int status = platform::reg_create_key(root, subkey, platform::kKeyRead, &key);
    if (status != platform::kErrorSuccess) return status;
    std::string data;
    uint32_t stored_type = 0;
    status = platform::reg_query_value(key, name, &stored_type, &data);
    platform::reg_close_key(key);
    if (status != platform::kErrorSuccess) return status;
    if (type) *type = stored_type;
    if (data.size() > *size) {
        *size = static_cast<uint32_t>(data.size());
        return platform::kErrorMoreData;
    }
    if (!data.empty()) std::memcpy(buffer, data.data(), data.size());
    *size = static_cast<uint32_t>(data.size());
    return platform::kErrorSuccess;
}

int reg_write_value(RegRoot root, std::string_view subkey, std::string_view name, uint32_t type,
                    const void* data, uint32_t size) {
    RegKey* key = nullptr;
    int status = platform::reg_create_key(root, subkey, platform::kKeyWrite, &key);
    if (status != platform::kErrorSuccess) return status;
    status = platform::reg_set_value(key, name, type,
                                     std::string_view(static_cast<const char*>(data), size));
    platform::reg_close_key(key);
    return status;
}

int reg_read_text(std::string_view subkey, std::string_view name, std::string& text) {
    char buf[260] = {};
    uint32_t type = platform::kRegSz;
    uint32_t size = sizeof buf;
    int status = reg_read_value(RegRoot::CurrentUser, subkey, name, &type, buf, &size);
    if (status != platform::kErrorSuccess) return status;
    // Stored text need not end with a zero byte; a full buffer without one
    // has no room for it and counts as too long.
    const void* zero = std::memchr(buf, 0, size);
    if (zero == nullptr && size == sizeof buf) return platform::kErrorMoreData;
    text.assign(buf, zero ? static_cast<const char*>(zero) - buf : size);
    return platform::kErrorSuccess;
}

int reg_read_dword(std::string_view subkey, std::string_view name, uint32_t& value) {
    unsigned char buf[4] = {};
    uint32_t type = platform::kRegDword;
    uint32_t size = sizeof buf;
    int status = reg_read_value(RegRoot::CurrentUser, subkey, name, &type, buf, &size);
    if (status != platform::kErrorSuccess) return status;
    value = static_cast<uint32_t>(buf[0]) | static_cast<uint32_t>(buf[1]) << 8 |
            static_cast<uint32_t>(buf[2]) << 16 | static_cast<uint32_t>(buf[3]) << 24;
    return platform::kErrorSuccess;
}

int reg_write_text(std::string_view subkey, std::string_view name, std::string_view text) {
    std::string data(text);
    data.push_back('\0');
    return reg_write_value(RegRoot::CurrentUser, subkey, name, platform::kRegSz, data.data(),
                           static_cast<uint32_t>(data.size()));
}

int reg_write_dword(std::string_view subkey, std::string_view name, uint32_t value) {
    const unsigned char buf[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                  static_cast<unsigned char>(value >> 16),
                                  static_cast<unsigned char>(value >> 24)};
    return reg_write_value(RegRoot::CurrentUser, subkey, name, platform::kRegDword, buf, 4);
}

int scan_decimal(std::string_view text, int32_t& value) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return 0;
    int64_t n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        n = n * 10 + (text[i] - '0');
        if (n > int64_t{INT32_MAX} + 1) n = int64_t{INT32_MAX} + 1;
    }
    if (negative) n = -n;
    value = static_cast<int32_t>(n < INT32_MIN ? INT32_MIN : n > INT32_MAX ? INT32_MAX : n);
    return 1;
}

}  // namespace nessel
