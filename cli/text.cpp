// SPDX-License-Identifier: MIT
// cli/text.cpp: UTF-8 <-> UTF-16, item reading and failure messages.
#include "cli/text.h"

#include <cstdio>

#include "base/ascii.h"
#include "nessel.hpp"

namespace nessel::cli {

bool utf8_to_utf16(std::string_view in, std::u16string& out) {
    out.clear();
    size_t i = 0;
    while (i < in.size()) {
        const auto b = static_cast<unsigned char>(in[i]);
        uint32_t cp;
        size_t len;
        if (b < 0x80) {
            cp = b;
            len = 1;
        } else if (b >= 0xC2 && b <= 0xDF) {
            cp = b & 0x1F;
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            cp = b & 0x0F;
            len = 3;
        } else if (b >= 0xF0 && b <= 0xF4) {
            cp = b & 0x07;
            len = 4;
        } else {
            return false;  // continuation byte, C0/C1 lead or F5..FF
        }
        if (i + len > in.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(in[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        // Overlong three- and four-byte forms, surrogates, beyond U+10FFFF.
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return true;
}

bool utf16_to_utf8(std::u16string_view in, std::string& out) {
    out.clear();
    for (size_t i = 0; i < in.size(); ++i) {
        uint32_t cp = in[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 &&
            in[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            return false;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return true;
}

std::string narrow(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    for (char16_t u : units) out.push_back(static_cast<char>(u & 0xFF));
    return out;
}

namespace {

// Calls convert(dst, capacity, &length), one of the length-taking exports,
// into out; a result longer than capacity is converted again with the room
// it reports.  out holds the result on success and is empty otherwise.
template <typename Unit, typename String, typename Fn>
uint32_t convert_into(String& out, std::size_t capacity, Fn convert) {
    out.resize(capacity);
    std::size_t n = 0;
    uint32_t code = convert(reinterpret_cast<Unit*>(out.data()), capacity, &n);
    if (code == NESSEL_ERR_CONVERSION && n > capacity) {
        out.resize(n);
        code = convert(reinterpret_cast<Unit*>(out.data()), n, &n);
    }
    out.resize(code == NESSEL_OK ? n : 0);
    return code;
}

}  // namespace

bool encode_units(uint32_t enctype, std::u16string_view units, std::string& bytes) {
    units = units.substr(0, units.find(u'\0'));
    const auto* in = reinterpret_cast<const nessel_unit*>(units.data());
    // At most 8 bytes a unit; an ACE codec that needs more reports it.
    return convert_into<char>(bytes, 8 * units.size() + 16,
                              [&](char* dst, std::size_t cap, std::size_t* len) {
                                  return nessel_encode_n(enctype, in, units.size(), dst, cap, len);
                              }) == NESSEL_OK;
}

bool decode_bytes(uint32_t enctype, std::string_view bytes, std::u16string& units) {
    bytes = bytes.substr(0, bytes.find('\0'));
    return convert_into<nessel_unit>(units, bytes.size() + 16,
                                     [&](nessel_unit* dst, std::size_t cap, std::size_t* len) {
                                         return nessel_decode_n(enctype, bytes.data(), bytes.size(),
                                                                dst, cap, len);
                                     }) == NESSEL_OK;
}

uint32_t ace_to_units(const std::string& codec, std::string_view ace, std::u16string& units) {
    return convert_into<nessel_unit>(units, 2 * ace.size() + 2,
                                     [&](nessel_unit* dst, std::size_t cap, std::size_t* len) {
                                         return nessel_to_unicode_n(codec.c_str(), ace.data(),
                                                                    ace.size(), dst, cap, len);
                                     });
}

bool is_terminal_utf8(std::string_view name) { return ascii_iequal(name, "UTF-8"); }

bool read_line(std::string& line) {
    line.clear();
    int c;
    bool any = false;
    while ((c = std::getchar()) != EOF) {
        any = true;
        if (c == '\n') break;
        line.push_back(static_cast<char>(c));
    }
    if (!any) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

void report_code(std::string_view cmd, std::string_view label, uint32_t code) {
    std::fprintf(stderr, "nessel: %.*s: %.*s: %u %s: %s\n", static_cast<int>(cmd.size()),
                 cmd.data(), static_cast<int>(label.size()), label.data(), code,
                 code_name(code), code_message(code));
}

void report(std::string_view cmd, std::string_view label, std::string_view text) {
    std::fprintf(stderr, "nessel: %.*s: %.*s: %.*s\n", static_cast<int>(cmd.size()), cmd.data(),
                 static_cast<int>(label.size()), label.data(), static_cast<int>(text.size()),
                 text.data());
}

bool ParsedArgs::has(std::string_view name) const {
    for (const auto& o : options)
        if (o.first == name) return true;
    return false;
}

std::string ParsedArgs::value(std::string_view name, std::string fallback) const {
    std::string v = std::move(fallback);
    for (const auto& o : options)
        if (o.first == name) v = o.second;  // the last one given wins
    return v;
}

ParsedArgs parse_args(const std::vector<std::string>& args, const std::vector<OptionSpec>& known_options) {
    ParsedArgs p;
    bool options_done = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options_done || a.size() < 2 || a[0] != '-') {
            p.items.push_back(a);
            continue;
        }
        if (a == "--") {
            options_done = true;
            continue;
        }
        const OptionSpec* found = nullptr;
        std::string value;
        bool inline_value = false;
        if (a[1] == '-') {
            std::string name = a.substr(2);
            const size_t eq = name.find('=');
            if (eq != std::string::npos) {
                value = name.substr(eq + 1);
                name.resize(eq);
                inline_value = true;
            }
            for (const auto& s : known_options)
                if (name == s.long_name) found = &s;
        } else if (a.size() == 2) {
            for (const auto& s : known_options)
                if (s.short_name != 0 && a[1] == s.short_name) found = &s;
        }
        if (found == nullptr) {
            p.error = "unknown option '" + a + "'";
            return p;
        }
        if (found->takes_value && !inline_value) {
            if (i + 1 >= args.size()) {
                p.error = "option '" + a + "' needs a value";
                return p;
            }
            value = args[++i];
        } else if (!found->takes_value && inline_value) {
            p.error = "option '--" + std::string(found->long_name) + "' takes no value";
            return p;
        }
        p.options.emplace_back(found->long_name, value);
    }
    return p;
}

}  // namespace nessel::cli
