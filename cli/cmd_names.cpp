// SPDX-License-Identifier: MIT
// cli/cmd_names.cpp: names and addresses to ACE (through NamePrep or
// NamePrep_U), ACE back to text, and nameprep on its own.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ace/convert.h"
#include "api/lifecycle.h"
#include "base/result_codes.h"
#include "cli/commands.h"
#include "cli/text.h"
#include "domain/ace_decode.h"
#include "domain/convert_domain.h"
#include "domain/to_ace.h"
#include "codecs/codecs.h"
#include "nessel.h"

namespace nessel::cli {
namespace {

constexpr uint32_t kOutputBytes = kMaxNativeOutputSize;  // largest output NamePrep takes
constexpr size_t kCodecBytes = kCodecNameBuffer;
constexpr size_t kPrepUnits = kNameBuffer;

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
                           kAddressPrepFlags) != 0)
        return {};
    return narrow(std::u16string_view(out.c_str()));
}

}  // namespace

namespace {

// The buffers of one to-ace run, reused for every item.
struct ToAceBuffers {
    std::string output = std::string(kOutputBytes, '\0');
    std::u16string uoutput = std::u16string(kOutputBytes / 2, u'\0');
    char codec[kCodecBytes] = {};
};

// One item's outcome.  refused: the input itself was refused (and reported)
// before any conversion; otherwise code is NamePrep's result, ace the ACE
// text on success and units the name as UTF-16 when it is all ASCII.
struct ToAceItem {
    bool refused = false;
    uint32_t code = kErrConversion;
    std::string ace;
    std::u16string units;
};

ToAceItem refuse(const std::string& label, const std::string& why) {
    report("to-ace", label, why);
    ToAceItem r;
    r.refused = true;
    return r;
}

// UTF-8 from the terminal, converted as UTF-16 through NamePrep_U.
ToAceItem to_ace_utf8(const std::string& item, const std::string& label, ToAceBuffers& b) {
    ToAceItem r;
    if (!utf8_to_utf16(item, r.units)) return refuse(label, "input is not valid UTF-8");
    if (r.units.find(u'\0') != std::u16string::npos) return refuse(label, "input holds a zero byte");
    std::u16string in = r.units;
    in.push_back(0);
    r.code = NamePrep_U("UTF-8", reinterpret_cast<const nessel_unit*>(in.c_str()),
                        reinterpret_cast<nessel_unit*>(b.uoutput.data()), kOutputBytes, b.codec,
                        kCodecBytes, 0);
    if (r.code == kOk) r.ace = narrow(std::u16string_view(b.uoutput.c_str()));
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
        if (unicode_to_encoding(encoding_type(as), u, bytes) == 0)
            return refuse(label, "input has no form in " + as);
        enc = as;
    }
    if (bytes.find('\0') != std::string::npos) return refuse(label, "input holds a zero byte");
    r.code = NamePrep(enc.c_str(), bytes.c_str(), b.output.data(), kOutputBytes, b.codec,
                      kCodecBytes, options);
    if (r.code == kOk) r.ace = b.output.c_str();
    if (r.code == kErrAllAscii) (void)encoding_to_unicode(encoding_type(enc), bytes, r.units);
    return r;
}

// Writes the item's line, or reports its failure; false on failure.
bool write_to_ace(const ToAceItem& r, const std::string& label, bool show_codec, const char* codec) {
    if (r.refused) return false;
    if (r.code == kErrAllAscii) {
        // Nothing to convert: the name is already ASCII once prepared.
        const std::string prepared = prepared_ascii(r.units);
        if (!prepared.empty()) return write_line(show_codec ? prepared + "\t-" : prepared);
        // (A 7001 of the last fallback encoding, whose reading of the
        // input is not at hand, is reported like a failure.)
    }
    if (r.code != kOk) {
        report_code("to-ace", label, r.code);
        return false;
    }
    return write_line(show_codec ? r.ace + "\t" + codec : r.ace);
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
    const uint32_t init = InitSDK();
    if (init != kOk) {
        report_code("to-ace", "initialisation", init);
        return kExitInit;
    }
    int status = kExitOk;
    ToAceBuffers b;
    const bool utf8 = is_terminal_utf8(from) && as.empty();
    for_each_item(p.items, [&](const std::string& item, const std::string& label) {
        b.codec[0] = 0;
        const ToAceItem r = utf8 ? to_ace_utf8(item, label, b)
                                 : to_ace_native(item, label, from, as, options, b);
        if (!write_to_ace(r, label, show_codec, b.codec)) status = kExitFailure;
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
    if (!ace_codec_accepted(codec.c_str())) {
        report_code("to-unicode", "codec '" + codec + "'", kErrArgument);
        std::fprintf(stderr, "nessel: to-unicode: accepted codecs: race, lace, racex, dude, dudex, "
                             "amc-z (amc-z decodes Punycode)\n");
        return kExitUsage;
    }
    if (!init_once()) {
        report_code("to-unicode", "initialisation", kErrInit);
        return kExitInit;
    }
    // The decoders read the codec family's prefix setting; a fresh process
    // starts from the defaults ("ra--", "lq--", "dq--", "xn--").
    if (p.has("prefix")) set_ace_prefix(codec.c_str(), p.value("prefix").c_str());
    int status = kExitOk;
    for_each_item(p.items, [&](const std::string& item, const std::string& label) {
        uint32_t code;
        std::string out;
        if (is_terminal_utf8(to)) {
            std::u16string units;
            code = encode_string_u(codec.c_str(), item.c_str(), true, units);
            if (code == kOk && !utf16_to_utf8(units, out)) {
                report("to-unicode", label, "decoded text holds an unpaired surrogate");
                status = kExitFailure;
                return;
            }
        } else {
            code = encode_string(codec.c_str(), item.c_str(), to.c_str(), true, out);
        }
        if (code != kOk) {
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
    uint32_t flags = kAddressPrepFlags;
    if (p.has("flags") && !parse_flags(p.value("flags"), flags)) {
        std::fprintf(stderr, "nessel: nameprep: bad flags '%s'\n", p.value("flags").c_str());
        return kExitUsage;
    }
    if (!init_once()) {
        report_code("nameprep", "initialisation", kErrInit);
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
        if (code != kOk) {
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
