// SPDX-License-Identifier: MIT
// cli/cmd_names.cpp: names and addresses to ACE (through NamePrep or
// NamePrep_U), ACE back to text, and nameprep on its own.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "api/program.h"
#include "base/ascii.h"
#include "cli/commands.h"
#include "cli/text.h"
#include "nessel.hpp"

namespace nessel::cli {
namespace {

// Sizes the C interface documents: the largest output NamePrep writes, the
// codec name it hands back, and the longest name it takes.
constexpr uint32_t kOutputBytes = 16384;
constexpr uint32_t kCodecBytes = 256;
constexpr size_t kMaxInputUnits = 1023;
// Room for the prepared form of a name: ample for the longest one.
constexpr uint32_t kPrepUnits = 8192;
// The longest decoded text that AceToNative converts on into an encoding.
constexpr size_t kMaxDecodedUnits = 1023;

bool write_line(std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fputc('\n', stdout);
    return true;
}

// The prepared (all-ASCII) form of a name that needs no conversion.
std::string prepared_ascii(const std::u16string& name) {
    std::u16string in = name.substr(0, kMaxInputUnits);
    in.push_back(0);
    std::u16string out(kPrepUnits, u'\0');
    if (talvex_name_prep_u(reinterpret_cast<const nessel_unit*>(in.c_str()),
                           reinterpret_cast<nessel_unit*>(out.data()), kPrepUnits,
                           default_prep_flags) != 0)
        return {};
    return narrow(std::u16string_view(out.c_str()));
}

}  // namespace

namespace {

// The library for the rest of the process.  It is never released: the
// program ends right after its command, and the process exit releases the
// library as it would without this object.
const library& process_library() {
    static const library* lib = new library;
    return *lib;
}

// The buffers of one to-ace run, reused for every item.
struct ToAceBuffers {
    std::string output = std::string(kOutputBytes, '\0');
    char codec[kCodecBytes] = {};
};

// One item's outcome.  refused: the input itself was refused (and reported)
// before any conversion; otherwise code is the conversion's result, ace the
// ACE text on success, codec its codec ("-" when nothing had to be encoded)
// and units the name as UTF-16 when it is all ASCII.
struct ToAceItem {
    bool refused = false;
    uint32_t code = NESSEL_ERR_CONVERSION;
    std::string ace;
    std::string codec;
    std::u16string units;
};

ToAceItem refuse(const std::string& label, const std::string& why) {
    report("to-ace", label, why);
    ToAceItem r;
    r.refused = true;
    return r;
}

// UTF-8 from the terminal, converted as UTF-16; a name that is ASCII once
// prepared comes back in its prepared form with no codec.
ToAceItem to_ace_utf8(const std::string& item, const std::string& label) {
    ToAceItem r;
    if (!utf8_to_utf16(item, r.units)) return refuse(label, "input is not valid UTF-8");
    if (r.units.find(u'\0') != std::u16string::npos) return refuse(label, "input holds a zero byte");
    const result<ace_name16> ace = process_library().to_ace(std::u16string_view(r.units));
    r.code = ace.error().code();
    if (ace) {
        r.ace = narrow(ace->text);
        r.codec = ace->codec.empty() ? "-" : ace->codec;
    }
    return r;
}

// Bytes in encoding from (or UTF-8 recoded into as first) through NamePrep.
ToAceItem to_ace_native(const std::string& item, const std::string& label, const std::string& from,
                        const std::string& as, unsigned char options, ToAceBuffers& b) {
    ToAceItem r;
    std::string bytes = item;
    std::string enc = from;
    if (!as.empty()) {
        // UTF-8 text recoded into the chosen encoding first, so that a
        // terminal user can try the path of a legacy encoding.
        std::u16string u;
        if (!utf8_to_utf16(item, u)) return refuse(label, "input is not valid UTF-8");
        if (!encode_units(str2enctype(as.c_str()), u, bytes))
            return refuse(label, "input has no form in " + as);
        enc = as;
    }
    if (bytes.find('\0') != std::string::npos) return refuse(label, "input holds a zero byte");
    b.codec[0] = 0;
    r.code = NamePrep(enc.c_str(), bytes.c_str(), b.output.data(), kOutputBytes, b.codec,
                      kCodecBytes, options);
    if (r.code == NESSEL_OK) {
        r.ace = b.output.c_str();
        r.codec = b.codec;
    }
    if (r.code == NESSEL_ERR_ALL_ASCII) {
        // Nothing to convert: the name is already ASCII once prepared.
        std::u16string units;
        (void)decode_bytes(str2enctype(enc.c_str()), bytes, units);
        const std::string prepared = prepared_ascii(units);
        // (A 7001 of the last fallback encoding, whose reading of the
        // input is not at hand, is reported like a failure.)
        if (!prepared.empty()) {
            r.code = NESSEL_OK;
            r.ace = prepared;
            r.codec.assign(1, '-');  // nothing had to be encoded
        }
    }
    return r;
}

// Writes the item's line, or reports its failure; false on failure.
bool write_to_ace(const ToAceItem& r, const std::string& label, bool show_codec) {
    if (r.refused) return false;
    if (r.code != NESSEL_OK) {
        report_code("to-ace", label, r.code);
        return false;
    }
    return write_line(show_codec ? r.ace + "\t" + r.codec : r.ace);
}

}  // namespace

int cmd_to_ace(const Args& args) {
    const ParsedArgs p = parse_args(args, {{"from", 'f', true},
                                           {"as", 'a', true},
                                           {"fallback", 'F', false},
                                           {"show-codec", 'c', false}});
    if (!p.error.empty()) {
        std::fprintf(stderr, "nessel: to-ace: %s (see nessel --help)\n", p.error.c_str());
        return kExitUsage;
    }
    const std::string from = p.value("from", "UTF-8");
    const std::string as = p.value("as");
    const bool show_codec = p.has("show-codec");
    const unsigned char options = p.has("fallback") ? 0x80 : 0;
    if (p.has("from") && p.has("as")) {
        std::fprintf(stderr, "nessel: to-ace: --from and --as exclude each other\n");
        return kExitUsage;
    }
    if (const error init = process_library().status()) {
        report_code("to-ace", "initialisation", init.code());
        return kExitInit;
    }
    int status = kExitOk;
    ToAceBuffers b;
    const bool utf8 = is_terminal_utf8(from) && as.empty();
    for_each_item(p.items, [&](const std::string& item, const std::string& label) {
        const ToAceItem r = utf8 ? to_ace_utf8(item, label)
                                 : to_ace_native(item, label, from, as, options, b);
        if (!write_to_ace(r, label, show_codec)) status = kExitFailure;
    });
    return status;
}

int cmd_to_unicode(const Args& args) {
    const ParsedArgs p =
        parse_args(args, {{"codec", 'c', true}, {"to", 't', true}, {"prefix", 'p', true}});
    if (!p.error.empty()) {
        std::fprintf(stderr, "nessel: to-unicode: %s (see nessel --help)\n", p.error.c_str());
        return kExitUsage;
    }
    const std::string codec = p.value("codec", "amc-z");
    const std::string to = p.value("to", "UTF-8");
    // AceToUnicode refuses a codec it does not accept before it looks at
    // anything else.
    if (AceToUnicode(codec.c_str(), "", nullptr, 0) == NESSEL_ERR_ARGUMENT) {
        report_code("to-unicode", "codec '" + codec + "'", NESSEL_ERR_ARGUMENT);
        std::fprintf(stderr, "nessel: to-unicode: accepted codecs: race, lace, racex, dude, dudex, "
                             "amc-z (amc-z decodes Punycode)\n");
        return kExitUsage;
    }
    if (!program::init_converters()) {
        report_code("to-unicode", "initialisation", NESSEL_ERR_INIT);
        return kExitInit;
    }
    // The decoders read the codec family's prefix setting; a fresh process
    // starts from the defaults ("ra--", "lq--", "dq--", "xn--").
    if (p.has("prefix")) program::set_ace_prefix(codec, p.value("prefix"));
    const bool utf8 = is_terminal_utf8(to);
    const uint32_t target = utf8 ? 0 : str2enctype(to.c_str());
    int status = kExitOk;
    for_each_item(p.items, [&](const std::string& item, const std::string& label) {
        // The text up to a zero byte, as the C interface reads it.
        const std::string_view ace(item.c_str());
        std::u16string units;
        std::string out;
        uint32_t code = NESSEL_OK;
        if (utf8) {
            code = ace_to_units(codec, ace, units);
            if (code == NESSEL_OK && !utf16_to_utf8(units, out)) {
                report("to-unicode", label, "decoded text holds an unpaired surrogate");
                status = kExitFailure;
                return;
            }
        } else if (target == 0) {
            code = NESSEL_ERR_NO_TARGET;
        } else if ((code = ace_to_units(codec, ace, units)) == NESSEL_OK) {
            if (units.size() > kMaxDecodedUnits) code = NESSEL_ERR_ACE_DECODE;
            else if (!encode_units(target, units, out)) code = NESSEL_ERR_TARGET_ENCODE;
        }
        if (code != NESSEL_OK) {
            report_code("to-unicode", label, code);
            status = kExitFailure;
            return;
        }
        write_line(out);
    });
    return status;
}

namespace {

struct FlagName {
    const char* name;
    uint32_t bit;
};
constexpr FlagName kFlagNames[] = {
    {"LOCAL_RULES", 0x0001},      {"TO_SIMPLIFIED", 0x0002}, {"MAP_IDEOGRAPHIC_STOP", 0x0004},
    {"CHECK_ALLOWED", 0x0008},    {"JAPANESE_PREMAP", 0x0010}, {"DELIMITERS", 0x0020},
    {"ALLOW_UNDERSCORE", 0x0080}, {"KOREAN_PREMAP", 0x0100},  {"TO_TRADITIONAL", 0x0200},
};

// A number (decimal or 0x hex) or names joined by "," or "|", with or
// without "PREP_", any letter case.
bool parse_flags(const std::string& text, uint32_t& flags) {
    if (text.empty()) return false;
    char* end = nullptr;
    const unsigned long n = std::strtoul(text.c_str(), &end, 0);
    if (*end == 0 && text[0] >= '0' && text[0] <= '9') {
        if (n > 0xFFFFFFFFul) return false;
        flags = static_cast<uint32_t>(n);
        return true;
    }
    flags = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t cut = text.find_first_of(",|", pos);
        if (cut == std::string::npos) cut = text.size();
        std::string_view word(text.data() + pos, cut - pos);
        if (word.size() > 5 && ascii_iequal(word.substr(0, 5), "PREP_")) word.remove_prefix(5);
        bool known = false;
        for (const auto& f : kFlagNames)
            if (ascii_iequal(word, f.name)) {
                flags |= f.bit;
                known = true;
            }
        if (!known) return false;
        pos = cut + 1;
    }
    return true;
}

}  // namespace

int cmd_nameprep(const Args& args) {
    const ParsedArgs p = parse_args(args, {{"flags", 'f', true}});
    if (!p.error.empty()) {
        std::fprintf(stderr, "nessel: nameprep: %s (see nessel --help)\n", p.error.c_str());
        return kExitUsage;
    }
    uint32_t flags = default_prep_flags;
    if (p.has("flags") && !parse_flags(p.value("flags"), flags)) {
        std::fprintf(stderr, "nessel: nameprep: bad flags '%s'\n", p.value("flags").c_str());
        return kExitUsage;
    }
    if (!program::init_converters()) {
        report_code("nameprep", "initialisation", NESSEL_ERR_INIT);
        return kExitInit;
    }
    int status = kExitOk;
    std::u16string out(kPrepUnits, u'\0');
    for_each_item(p.items, [&](const std::string& item, const std::string& label) {
        std::u16string in;
        if (!utf8_to_utf16(item, in)) {
            report("nameprep", label, "input is not valid UTF-8");
            status = kExitFailure;
            return;
        }
        if (in.size() > kMaxInputUnits) {
            report("nameprep", label, "name longer than 1023 UTF-16 units");
            status = kExitFailure;
            return;
        }
        in.push_back(0);
        out[0] = 0;
        const uint32_t code =
            talvex_name_prep_u(reinterpret_cast<const nessel_unit*>(in.c_str()),
                               reinterpret_cast<nessel_unit*>(out.data()), kPrepUnits, flags);
        std::string text;
        if (code != NESSEL_OK) {
            report_code("nameprep", label, code);
            status = kExitFailure;
            return;
        }
        if (!utf16_to_utf8(std::u16string_view(out.c_str()), text)) {
            report("nameprep", label, "result holds an unpaired surrogate");
            status = kExitFailure;
            return;
        }
        write_line(text);
    });
    return status;
}

}  // namespace nessel::cli
