// SPDX-License-Identifier: MIT
// config/platform_posix_profile.cpp: reading the profile (the INI-style
// configuration file) on POSIX systems.
#include <cstdio>
#include <optional>
#include <string>
#include <unordered_map>

#include "config/platform.h"
#include "config/platform_posix.h"

namespace nessel::platform {

namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_space(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_space(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

struct Profile {
    // Lower-cased section name -> (lower-cased key -> value); the first
    // section and the first key of a name win.  A line without "=" names a
    // key without a value, which reads as absent.
    using Keys = std::unordered_map<std::string, std::optional<std::string>>;
    std::unordered_map<std::string, Keys> sections;
};

Profile* profile_open(const std::string& path) {
    auto* profile = new Profile;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return profile;
    std::string text;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    std::fclose(f);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);  // UTF-8 byte order mark

    Profile::Keys* current = nullptr;
    std::unordered_map<std::string, bool> seen_sections;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        std::string_view line = trim(std::string_view(text).substr(pos, eol - pos));
        pos = eol + 1;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            std::size_t close = line.find(']');
            if (close == std::string_view::npos) continue;
            std::string name = lower(trim(line.substr(1, close - 1)));
            // A later section of the same name is not consulted.
            if (seen_sections.emplace(name, true).second)
                current = &profile->sections[name];
            else
                current = nullptr;
            continue;
        }
        if (current == nullptr) continue;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            current->emplace(lower(trim(line)), std::nullopt);
            continue;
        }
        std::string_view value = trim(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        current->emplace(lower(trim(line.substr(0, eq))), std::string(value));
    }
    return profile;
}

void profile_close(Profile* profile) { delete profile; }

namespace {
const std::string* profile_find(Profile* profile, std::string_view section, std::string_view key) {
    if (profile == nullptr) return nullptr;
    auto s = profile->sections.find(lower(section));
    if (s == profile->sections.end()) return nullptr;
    auto k = s->second.find(lower(key));
    if (k == s->second.end() || !k->second) return nullptr;
    return &*k->second;
}
}  // namespace

uint32_t profile_get_int(Profile* profile, std::string_view section, std::string_view key,
                         uint32_t def) {
    const std::string* value = profile_find(profile, section, key);
    if (value == nullptr || value->empty()) return def;
    std::size_t i = 0;
    while (i < value->size() && is_space((*value)[i])) ++i;
    bool negative = false;
    if (i < value->size() && ((*value)[i] == '+' || (*value)[i] == '-')) negative = (*value)[i++] == '-';
    uint64_t n = 0;
    for (; i < value->size() && (*value)[i] >= '0' && (*value)[i] <= '9'; ++i) {
        n = n * 10 + static_cast<uint64_t>((*value)[i] - '0');
        if (n > UINT32_MAX) n = UINT32_MAX;  // saturate rather than wrap
    }
    if (negative) return 0;
    return static_cast<uint32_t>(n);
}

std::string profile_get_string(Profile* profile, std::string_view section, std::string_view key,
                               std::string_view def, std::size_t capacity) {
    const std::string* value = profile_find(profile, section, key);
    std::string_view v = value ? std::string_view(*value) : def;
    if (capacity == 0) return {};
    return std::string(v.substr(0, capacity - 1));
}

}  // namespace nessel::platform
