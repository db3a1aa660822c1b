// SPDX-License-Identifier: MIT
// cli/cmd_reg.cpp: "nessel reg list|get|set|delete": the registry store of
// the current user, keys given relative to HKEY_CURRENT_USER.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "api/program.h"
#include "cli/commands.h"

namespace nessel::cli {

namespace {

using namespace nessel::program;

constexpr const char* kRegUsage =
    "usage: nessel reg list KEY\n"
    "       nessel reg get KEY NAME\n"
    "       nessel reg set KEY NAME DATA [--dword]\n"
    "       nessel reg delete KEY [NAME]\n";

int store_error(int status) {
    std::fprintf(stderr, "nessel: registry store error (status %d)\n", status);
    return kExitFailure;
}

uint32_t dword_of(const std::string& data) {
    uint32_t v = 0;
    for (std::size_t i = 0; i < 4 && i < data.size(); ++i)
        v |= static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
    return v;
}

// The data as the list and get commands print it: REG_SZ up to its first
// zero byte, REG_DWORD in decimal, anything else as hexadecimal bytes.
std::string show_data(uint32_t type, const std::string& data) {
    if (type == kRegSz) return data.substr(0, data.find('\0'));
    if (type == kRegDword) return std::to_string(dword_of(data));
    std::string hex;
    char buf[4];
    for (unsigned char c : data) {
        std::snprintf(buf, sizeof buf, "%02x", c);
        hex += buf;
    }
    return hex;
}

std::string type_name(uint32_t type) {
    if (type == kRegSz) return "REG_SZ";
    if (type == kRegDword) return "REG_DWORD";
    return "REG_TYPE" + std::to_string(type);
}

// A decimal DWORD: 0..4294967295, or a negative number down to -2147483648
// stored as its two's complement.
bool parse_dword(const std::string& text, uint32_t& out) {
    std::size_t i = 0;
    bool negative = !text.empty() && text[0] == '-';
    if (negative) i = 1;
    if (i >= text.size()) return false;
    uint64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + static_cast<uint64_t>(text[i] - '0');
        if (v > (negative ? 2147483648ull : 4294967295ull)) return false;
    }
    out = negative ? static_cast<uint32_t>(0u - static_cast<uint32_t>(v)) : static_cast<uint32_t>(v);
    return true;
}

int reg_list(const Args& a) {
    if (a.size() != 2) return -1;
    std::vector<StoreValue> values;
    const int st = store_list(a[1], values);
    if (st != kStoreOk) return store_error(st);
    std::string lines;
    for (const StoreValue& v : values) {
        lines.append(v.name.substr(0, v.name.find('\0'))).append("\t").append(type_name(v.type));
        lines.append("\t").append(show_data(v.type, v.data));
        lines.push_back('\n');
    }
    std::fwrite(lines.data(), 1, lines.size(), stdout);
    return kExitOk;
}

int reg_get(const Args& a) {
    if (a.size() != 3) return -1;
    StoreValue v;
    const int st = store_get(a[1], a[2], v);
    if (st == kStoreNoValue) {
        std::fprintf(stderr, "nessel: no value '%s' in '%s'\n", a[2].c_str(), a[1].c_str());
        return kExitFailure;
    }
    if (st != kStoreOk) return store_error(st);
    std::printf("%s\n", show_data(v.type, v.data).c_str());
    return kExitOk;
}

int reg_set(const Args& a) {
    bool dword = a.size() == 5 && a[4] == "--dword";
    if (a.size() != 4 && !dword) return -1;
    StoreValue v{a[2], kRegSz, {}};
    if (dword) {
        uint32_t n = 0;
        if (!parse_dword(a[3], n)) {
            std::fprintf(stderr, "nessel: '%s' is not a 32-bit decimal number\n", a[3].c_str());
            return kExitUsage;
        }
        v.type = kRegDword;
        for (int i = 0; i < 4; ++i) v.data.push_back(static_cast<char>(n >> (8 * i)));
    } else {
        v.data = a[3];
        v.data.push_back('\0');  // stored like text written by the library
    }
    const int st = store_set(a[1], v);
    return st == kStoreOk ? kExitOk : store_error(st);
}

int reg_delete(const Args& a) {
    if (a.size() != 2 && a.size() != 3) return -1;
    if (a.size() == 3) {
        const int st = store_delete(a[1], a[2]);
        if (st == kStoreNoValue) {
            std::fprintf(stderr, "nessel: no value '%s' in '%s'\n", a[2].c_str(), a[1].c_str());
            return kExitFailure;
        }
        return st == kStoreOk ? kExitOk : store_error(st);
    }
    const int st = store_delete_all(a[1]);
    return st == kStoreOk ? kExitOk : store_error(st);
}

}  // namespace

int cmd_reg(const Args& args) {
    int rc = -1;
    if (!args.empty()) {
        if (args[0] == "list") rc = reg_list(args);
        else if (args[0] == "get") rc = reg_get(args);
        else if (args[0] == "set") rc = reg_set(args);
        else if (args[0] == "delete") rc = reg_delete(args);
    }
    if (rc < 0) {
        std::fputs(kRegUsage, stderr);
        return kExitUsage;
    }
    return rc;
}

}  // namespace nessel::cli
