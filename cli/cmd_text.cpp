// SPDX-License-Identifier: MIT
// cli/cmd_text.cpp: text through any registered encoding or codec: encode
// (UTF-8 text to the encoding's bytes), decode (bytes to UTF-8 text) and
// convert (between two encodings, "UTF-8" standing for the terminal).
#include <cstdio>
#include <string>

#include "api/program.h"
#include "cli/commands.h"
#include "cli/text.h"
#include "nessel.h"

namespace nessel::cli {
namespace {

// Text in from_name (UTF-8 or a registered encoding) to UTF-16.
bool text_in(const std::string& from_name, const std::string& bytes, std::u16string& units,
             std::string& why) {
    if (is_terminal_utf8(from_name)) {
        if (utf8_to_utf16(bytes, units)) return true;
        why = "input is not valid UTF-8";
        return false;
    }
    if (decode_bytes(str2enctype(from_name.c_str()), bytes, units)) return true;
    why = "input does not decode from " + from_name;
    return false;
}

// UTF-16 to to_name (UTF-8 or a registered encoding).
bool text_out(const std::string& to_name, const std::u16string& units, std::string& bytes,
              std::string& why) {
    if (is_terminal_utf8(to_name)) {
        if (utf16_to_utf8(units, bytes)) return true;
        why = "text holds an unpaired surrogate";
        return false;
    }
    if (encode_units(str2enctype(to_name.c_str()), units, bytes)) return true;
    why = "text has no form in " + to_name;
    return false;
}

bool known(const std::string& name) { return is_terminal_utf8(name) || str2enctype(name.c_str()) != 0; }

int run_text(const char* cmd, const std::string& from, const std::string& to,
             const ParsedArgs& p) {
    for (const std::string& name : {from, to})
        if (!known(name)) {
            std::fprintf(stderr, "nessel: %s: '%s' is not a registered encoding "
                                 "(see nessel encodings)\n", cmd, name.c_str());
            return kExitUsage;
        }
    if (p.has("prefix")) program::set_ace_prefix(is_terminal_utf8(from) ? to : from, p.value("prefix"));
    if (p.has("suffix")) program::set_ace_suffix(is_terminal_utf8(from) ? to : from, p.value("suffix"));
    int status = kExitOk;
    for_each_item(p.items, [&](const std::string& item, const std::string& label) {
        std::u16string units;
        std::string out, why;
        if (!text_in(from, item, units, why) || !text_out(to, units, out, why)) {
            report(cmd, label, why);
            status = kExitFailure;
            return;
        }
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fputc('\n', stdout);
    });
    return status;
}

bool start(const char* cmd) {
    if (program::init_converters()) return true;
    report_code(cmd, "initialisation", NESSEL_ERR_INIT);
    return false;
}

}  // namespace

int cmd_encode(const Args& args) {
    const ParsedArgs p = parse_args(args, {{"prefix", 'p', true}, {"suffix", 's', true}});
    if (!p.error.empty() || p.items.empty()) {
        std::fprintf(stderr, "nessel: encode: %s (see nessel --help)\n",
                     p.error.empty() ? "missing ENCODING" : p.error.c_str());
        return kExitUsage;
    }
    if (!start("encode")) return kExitInit;
    ParsedArgs rest = p;
    rest.items.erase(rest.items.begin());
    return run_text("encode", "UTF-8", p.items.front(), rest);
}

int cmd_decode(const Args& args) {
    const ParsedArgs p = parse_args(args, {{"prefix", 'p', true}, {"suffix", 's', true}});
    if (!p.error.empty() || p.items.empty()) {
        std::fprintf(stderr, "nessel: decode: %s (see nessel --help)\n",
                     p.error.empty() ? "missing ENCODING" : p.error.c_str());
        return kExitUsage;
    }
    if (!start("decode")) return kExitInit;
    ParsedArgs rest = p;
    rest.items.erase(rest.items.begin());
    return run_text("decode", p.items.front(), "UTF-8", rest);
}

int cmd_convert(const Args& args) {
    const ParsedArgs p = parse_args(args, {{"from", 'f', true}, {"to", 't', true}});
    if (!p.error.empty()) {
        std::fprintf(stderr, "nessel: convert: %s (see nessel --help)\n", p.error.c_str());
        return kExitUsage;
    }
    if (!start("convert")) return kExitInit;
    return run_text("convert", p.value("from", "UTF-8"), p.value("to", "UTF-8"), p);
}

}  // namespace nessel::cli
