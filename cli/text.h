// SPDX-License-Identifier: MIT
// cli/text.h: strict UTF-8 <-> UTF-16 for the terminal side of the program,
// the items a command works on (arguments, or lines of standard input), and
// the one format of failure messages.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nessel::cli {

// Strict UTF-8 to UTF-16: characters beyond the BMP become surrogate pairs.
// False for overlong forms, surrogate code points, values above U+10FFFF and
// truncated or stray bytes; out is then unspecified.
[[nodiscard]] bool utf8_to_utf16(std::string_view in, std::u16string& out);
// UTF-16 to UTF-8, pairing surrogates; false for an unpaired surrogate.
[[nodiscard]] bool utf16_to_utf8(std::u16string_view in, std::string& out);

// Each UTF-16 unit as its low byte (for text known to be ASCII).
std::string narrow(std::u16string_view units);

// Text through a registered encoding (enctype) by the length-taking
// exports.  Like every registered converter, they read the text up to its
// first zero unit or byte.  False when the text has no form in the encoding
// (or does not decode from it), or the encoding is not registered.
bool encode_units(uint32_t enctype, std::u16string_view units, std::string& bytes);
bool decode_bytes(uint32_t enctype, std::string_view bytes, std::u16string& units);
// ACE text to UTF-16 with an ACE codec; the library's result code.
uint32_t ace_to_units(const std::string& codec, std::string_view ace, std::u16string& units);

// True for "UTF-8" / "utf-8" (the terminal's encoding, which is not one of
// the registered encodings: the registered "utf8" is an ACE transfer form).
bool is_terminal_utf8(std::string_view name);

// Calls fn(item, label) for every argument, or, without arguments, for every
// line of standard input (its "\n" and a "\r" before it removed).  label
// names the item in messages: the item itself, or "line N".
template <typename Fn>
void for_each_item(const std::vector<std::string>& items, Fn fn);

// Writes "nessel: CMD: LABEL: CODE NAME: meaning" to standard error.
void report_code(std::string_view cmd, std::string_view label, uint32_t code);
// Writes "nessel: CMD: LABEL: text" to standard error.
void report(std::string_view cmd, std::string_view label, std::string_view text);

// Splits the options of a command from its items: "--name VALUE",
// "--name=VALUE", "-x VALUE" and flags; "--" ends the options.
struct OptionSpec {
    const char* long_name;   // without "--"
    char short_name;         // 0 when none
    bool takes_value;
};
struct ParsedArgs {
    std::vector<std::pair<std::string, std::string>> options;  // long name, value
    std::vector<std::string> items;
    std::string error;  // non-empty for a bad command line
    bool has(std::string_view name) const;
    std::string value(std::string_view name, std::string fallback = {}) const;
};
ParsedArgs parse_args(const std::vector<std::string>& args, const std::vector<OptionSpec>& known_options);

// Reads lines of standard input; used by for_each_item.
bool read_line(std::string& line);

template <typename Fn>
void for_each_item(const std::vector<std::string>& items, Fn fn) {
    if (!items.empty()) {
        for (const auto& item : items) fn(item, item);
        return;
    }
    std::string line;
    for (unsigned long n = 1; read_line(line); ++n) fn(line, "line " + std::to_string(n));
}

}  // namespace nessel::cli
