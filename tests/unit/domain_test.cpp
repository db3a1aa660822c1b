// SPDX-License-Identifier: MIT
// tests/unit/domain_test.cpp: the library's lifecycle, the exports end to
// end, zone-directed conversion, the zone index and the ACE codecs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <tuple>
#include <vector>

#include "ace/convert.h"
#include "ace/enc_utf.h"
#include "api/lifecycle.h"
#include "codecs/codecs.h"
#include "config/zone_table.h"
#include "domain/convert_domain.h"
#include "domain/to_ace.h"
#include "encoding/encoding.h"
#include "nessel.h"
#include "test_support.h"
#include "zone_fixture.h"

using namespace nessel;
using nessel::test::B;
using nessel::test::show;
using nessel::test::show_bytes;
using nessel::test::utf16;

namespace {

constexpr nessel_unit kMark = 0xAAAA;

// A field the row checks: "*" is unchecked, "(null)" passes a null pointer.
bool checked(const std::string& field) { return field != "*" && field != "(null)"; }

// A zone record from "zone;codec;prefix;...;flags" ("^label": RACEX zone).
test::Zone zone_of_field(const std::string& field) {
    std::vector<std::string> f;
    std::istringstream in(field);
    for (std::string part; std::getline(in, part, ';');) f.push_back(part);
    f.resize(10);
    if (f[0].starts_with("^")) f[0] = test::racex_zone(utf16(f[0].substr(1)));
    return {f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9].empty() ? 0 : std::stoi(f[9])};
}

// Records whose zones are these texts, every other field empty.
std::vector<ZoneRecord> records_of(const std::vector<std::string>& zones) {
    std::vector<ZoneRecord> records(zones.size());  // zero-filled
    for (size_t i = 0; i < zones.size(); ++i)
        std::memcpy(records[i].zone, zones[i].data(), std::min(zones[i].size(), kMaxZoneField));
    return records;
}

// Initialisation registers the encodings once; DeinitSDK empties the
// registry (every time, reporting that no zone table was loaded), so that
// accepted names are not found, and initialising again restores the same
// enctypes.
TEST(Lifecycle, InitOnceAndDeinit) {
    const char* v = GetVersion_Nessel();
    EXPECT_STREQ(v, "Nessel Version 4.0.31");
    EXPECT_EQ(GetVersion_Nessel(), v);  // the same static string every time
    ASSERT_EQ(init_once(), 1);
    EXPECT_TRUE(init_done());
    const uint32_t n = encoding_count();
    ASSERT_GT(n, 2u);
    ASSERT_EQ(init_once(), 1);
    EXPECT_EQ(encoding_count(), n);  // a second call registers nothing again
    nessel_unit out[16];
    char bytes[16];
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(DeinitSDK(), 2001u);
        EXPECT_EQ(encoding_count(), 0u);
        EXPECT_EQ(str2enctype("ascii"), 0u);
        out[0] = 1;
        EXPECT_EQ(encoding2unicode(1, "a", out), 0);
        EXPECT_EQ(out[0], 0);
        EXPECT_EQ(AceToUnicode("race", "abc", out, 0), 101u);
        EXPECT_EQ(AceToNative("amc-z", "abc", bytes, "ascii", 0), 101u);
    }
    EXPECT_TRUE(init_done());  // the flag is never cleared
    ASSERT_EQ(init_once(), 1);
    EXPECT_EQ(encoding_count(), n);
    EXPECT_EQ(str2enctype("ascii"), 1u);
    EXPECT_EQ(str2enctype("none"), 2u);
    EXPECT_EQ(AceToNative("amc-z", "abc", bytes, "ascii", 0), 0u);
}

// Unloading the shared library releases the registry (under LeakSanitizer a
// missing release shows as a leak), and a new load starts empty.
TEST(Lifecycle, UnloadReleasesTheRegistry) {
    // InitSDK consults the per-user store: keep it in a private directory.
    test::TempDir home;
    test::ScopedEnvironment env;
    env.set("HOME", home.path().c_str());
    env.set("XDG_CONFIG_HOME", (home.path() + "/config").c_str());
    env.set("TMPDIR", home.path().c_str());
    for (int round = 0; round < 2; ++round) {
        test::SharedLib lib(NESSEL_SHARED_LIB);
        ASSERT_TRUE(lib.loaded()) << lib.error();
        auto str2type = reinterpret_cast<uint32_t(NESSEL_CALL*)(const char*)>(lib.symbol("str2enctype"));
        auto init = reinterpret_cast<uint32_t(NESSEL_CALL*)()>(lib.symbol("InitSDK"));
        ASSERT_TRUE(str2type != nullptr && init != nullptr);
        EXPECT_EQ(str2type("ascii"), 0u) << "round " << round;
        init();  // registers the encodings whatever the zone table load gives
        EXPECT_EQ(str2type("ascii"), 1u);
        EXPECT_TRUE(lib.close());
    }
}

// Output buffers filled with a mark, so that an unterminated or untouched
// result shows.
struct Out {
    std::vector<nessel_unit> u = std::vector<nessel_unit>(4096, 0x2A2A);
    std::string b = std::string(8192, '*');
    std::u16string text() const { return std::u16string(reinterpret_cast<const char16_t*>(u.data())); }
};

struct Call {
    uint32_t result;
    std::string output, codec;  // output printable, up to the terminator
    auto fields() const { return std::tie(result, output, codec); }
};

// The text of a field, or null where the field is "(null)".
const char* c_str(const std::string& field) { return field == "(null)" ? nullptr : field.c_str(); }

// The export a row names; the output as far as a caller reads it.  An
// output of "(null)" passes a null output buffer.
Call run(const std::string& call, const std::string& name, const std::string& target, const std::string& input,
         bool null_output = false) {
    Out o;
    char codec[256] = "";
    nessel_unit* units = null_output ? nullptr : o.u.data();
    char* bytes = null_output ? nullptr : o.b.data();
    if (call == "encoding2unicode" || call == "AceToUnicode") {
        const uint32_t r = call == "AceToUnicode" ? AceToUnicode(c_str(name), c_str(input), units, 0)
                                                  : encoding2unicode(str2enctype(name.c_str()), input.c_str(), units);
        return {r, o.u[0] == 0x2A2A ? "(untouched)" : show(o.text()), ""};
    }
    if (call != "AceToNative" && call != "NamePrep") ADD_FAILURE() << "unknown kind " << call;
    const uint32_t r = call == "AceToNative" ? AceToNative(c_str(name), c_str(input), bytes, target.c_str(), 0)
                                             : NamePrep(name.c_str(), input.c_str(), bytes, 8192, codec, sizeof codec,
                                                        static_cast<unsigned char>(std::stoul(target, nullptr, 0)));
    return {r, o.b == std::string(8192, '*') ? "(untouched)" : show_bytes(o.b.c_str()), codec};
}

// A row of an export: export, name, target, input, the input's text before
// its zero ("." where it has none), output, result.
void check_export_row(const test::Row& r) {
    const Call got = run(r[0], r[1], r[2], B(r[3]), r[5] == "(null)");
    const std::string want = test::text(r[5]);
    EXPECT_EQ(got.result, std::stoul(r[6]));
    if (want == "(untouched)" || want == "(null)") {
        EXPECT_EQ(got.output, "(untouched)");
    } else {
        const bool units = r[0] == "encoding2unicode" || r[0] == "AceToUnicode";
        EXPECT_EQ(got.output, units ? show(test::M(want)) : show_bytes(B(want)));
    }
    if (r[4] == ".") return;
    // The whole text gives what the text before the zero gives.
    const Call before = run(r[0], r[1], r[2], B(test::text(r[4])));
    EXPECT_EQ(got.fields(), before.fields());
}

// A "native" (NamePrep, Unit char) or "prep_u" (NamePrep_U, char16_t) row:
// the export writes into a buffer of marks, the codec buffer holding "(none)".
template <class Unit, class Export, class Text>
void check_prep(const test::Row& row, Export prep, Text text, Unit mark) {
    using String = std::basic_string<Unit>;
    using Arg = std::conditional_t<sizeof(Unit) == 1, char, nessel_unit>;
    const auto arg = [&row](size_t i, auto* p) -> decltype(p) { return row.get(i) == "(null)" ? nullptr : p; };
    const String in = text(row.get(1));
    const uint32_t size = row.get(5).empty() ? 2048 : std::stoul(row.get(5));
    String raw(std::min<size_t>(size / sizeof(Unit), kMaxNativeOutputSize) + 64, mark);
    char codec[256] = "(none)";
    const std::string encoding = row.get(8).empty() ? "UTF-8" : row.get(8);
    EXPECT_EQ(prep(arg(8, encoding.c_str()), arg(1, reinterpret_cast<const Arg*>(in.c_str())),
                   arg(3, reinterpret_cast<Arg*>(raw.data())), size, arg(4, codec),
                   row.get(6).empty() ? 256 : std::stoul(row.get(6)),
                   static_cast<unsigned char>(row.get(9).empty() ? 0 : std::stoul(row.get(9), nullptr, 16))),
              std::stoul(row.get(2)));
    if (checked(row.get(4))) { EXPECT_EQ(codec, row.get(4)); }
    if (!row.get(7).empty()) {
        const size_t n = std::stoul(row.get(7));
        EXPECT_EQ(raw, String(n, 0) + String(raw.size() - n, mark)) << "output written";
    }
    if (checked(row.get(3))) { EXPECT_EQ(String(raw.c_str()), text(row.get(3))); }
}

class Domain : public test::ZoneTest {};

// Random units: ASCII letters and digits, Latin-1, Greek, CJK, never zero,
// "." or "@".
const std::u16string kRandomUnits = [] {
    std::u16string s;
    for (auto [lo, hi] : {std::pair<char16_t, char16_t>{'a', 'z'}, {'0', '9'}, {0xE0, 0xFF}, {0x3B1, 0x3C9}, {0x4E00, 0x4E1F}})
        for (char16_t u = lo; u <= hi; ++u) s.push_back(u);
    return s;
}();

// UTF-8 of units, each unit on its own, U+0000 as the overlong C0 80.
std::string overlong_utf8(std::u16string_view s) {
    std::string out;
    for (char16_t u : s) out += u == 0 ? "\xC0\x80" : test::utf8(std::u16string(1, u));
    return out;
}

// Through the chains of the exports: the first step yields P, U+0000, Q and
// the whole conversion must give what the next step gives for P alone.
TEST_F(Domain, RandomTextsThroughEveryChain) {
    std::mt19937 rng(1800);
    int ace_runs = 0;
    for (int i = 0; i < 200; ++i) {
        reset_ace_settings();
        const std::u16string p = test::random_text<char16_t>(rng, kRandomUnits, 20),
                             q = test::random_text<char16_t>(rng, kRandomUnits, 20), inner = p + u'\0' + q;
        // "dutf8": UTF-8, then ISO-8859-1, then UTF-8 again.  (test::U takes
        // each byte as one unit: the UTF-8 of these units holds no "U+".)
        Out o;
        const std::string dutf8 = overlong_utf8(test::U(test::utf8(p)) + u'\0' + test::U(test::utf8(q)));
        EXPECT_EQ(encoding2unicode(str2enctype("dutf8"), dutf8.c_str(), o.u.data()), 1);
        EXPECT_EQ(show(o.text()), show(p));
        EXPECT_EQ(o.u[p.size() + 1], 0x2A2A) << "units written past the result";
        // NamePrep's decoding step.  (The fallback encodings read the input
        // bytes afresh, so C0 80 is no zero for them.)
        const Call whole = run("NamePrep", "utf8", "0", overlong_utf8(inner)), before = run("NamePrep", "utf8", "0", test::utf8(p));
        EXPECT_EQ(whole.fields(), before.fields());
        // AceToNative: the codec decodes to P, U+0000, Q; the target
        // encoder reads P.
        using Encoder = int (*)(std::u16string_view, std::string&);
        for (auto [codec, encode] : {std::pair<const char*, Encoder>{"race", race_from_unicode},
                                     {"racex", racex_from_unicode}, {"lace", lace_from_unicode}}) {
            std::string ace;
            Out decoded;
            if (encode(inner, ace) == 0 || ace.find('\0') != std::string::npos ||
                AceToUnicode(codec, ace.c_str(), decoded.u.data(), 0) != 0 ||
                std::u16string_view(reinterpret_cast<const char16_t*>(decoded.u.data()), inner.size()) != inner)
                continue;
            ++ace_runs;
            for (const char* target : {"ascii", "iso8859-1", "GBK", "jis", "utf8"}) {
                std::string want;
                const int ok = unicode_to_encoding(encoding_type(target), p, want);
                const Call got = run("AceToNative", codec, target, ace);
                EXPECT_EQ(got.result, ok ? 0u : 202u) << codec << " to " << target;
                if (ok) { EXPECT_EQ(got.output, show_bytes(want)) << codec << " to " << target; }
            }
        }
    }
    EXPECT_GT(ace_runs, 300);  // most texts make a label of the three codecs
}

// Every charset that declares a bound on its raw converters keeps within it
// (the length-taking exports write them straight into a caller's buffer):
// byte pairs, units and random texts with shift sequences, into exactly that
// room and a guard; and a decoder reads nothing past the length it is given.
template <typename Out, typename In, typename Fn>
void keeps_within(Fn raw, const std::vector<std::basic_string<In>>& inputs, size_t per_element,
                  const std::string& name) {
    const Out guard = static_cast<Out>(0x5A5A);
    std::vector<Out> buf;
    for (const auto& s : inputs) {
        const size_t room = s.size() * per_element + 1;
        buf.assign(room + 16, guard);
        size_t written = 0;
        raw(s.data(), s.size(), buf.data(), written);
        ASSERT_LE(written, room) << name << " input of " << s.size();
        for (size_t i = room; i < buf.size(); ++i) ASSERT_EQ(buf[i], guard) << name;
    }
}

TEST(CharsetBound, RawFormsKeepWithinTheRoomTheyAreGiven) {
    ASSERT_EQ(init_once(), 1);
    std::vector<std::string> pairs;
    std::vector<std::u16string> singles;
    for (unsigned v = 1; v < 0x10000; ++v) {
        singles.push_back(std::u16string(1, static_cast<char16_t>(v)));
        if ((v & 0xFF) != 0) pairs.push_back({static_cast<char>(v >> 8), static_cast<char>(v)});
    }
    std::mt19937 rng(16);
    std::string nonzero;
    for (int c = 1; c < 256; ++c) nonzero.push_back(static_cast<char>(c));
    int bounded = 0;
    for (uint32_t t = 1; t <= encoding_count(); ++t) {
        const EncodingEntry& e = *find_encoding_by_type(t);
        if (!e.bounded_raw) continue;
        ++bounded;
        std::vector<std::string> bytes = pairs;
        std::vector<std::u16string> units = singles;
        std::u16string decoded(64, u'\0');
        std::vector<char16_t> charset_units;
        for (int i = 0; i < 2000; ++i) {
            const std::string b = test::random_text<char>(rng, nonzero, 24);
            size_t w = 0;
            if (e.to_unicode_raw(b.data(), b.size(), decoded.data(), w) && w <= b.size())
                for (size_t j = 0; j < w; ++j)
                    if (decoded[j] >= 0x80) charset_units.push_back(decoded[j]);
            bytes.push_back(b);
            // Decoding ends at the length given: the byte after it changes nothing.
            const std::string head = b.substr(0, b.size() - 1);
            std::u16string x(64, u'\0'), y(64, u'\0');
            size_t wx = 0, wy = 0;
            const int rx = e.to_unicode_raw(b.data(), head.size(), x.data(), wx);
            const int ry = e.to_unicode_raw(head.data(), head.size(), y.data(), wy);
            EXPECT_TRUE(rx == ry && (rx == 0 || x.substr(0, wx) == y.substr(0, wy))) << e.name << " " << b;
        }
        charset_units.push_back(u'\u3042');
        for (int i = 0; i < 2000; ++i) {
            std::u16string u;
            for (size_t n = 1 + rng() % 24; u.size() < n;)
                u.push_back(rng() % 2 ? static_cast<char16_t>(0x21 + rng() % 94)
                                      : charset_units[rng() % charset_units.size()]);
            units.push_back(u);
        }
        keeps_within<char16_t>(e.to_unicode_raw, bytes, kCharsetUnitsPerByte, e.name);
        keeps_within<char>(e.from_unicode_raw, units, kCharsetBytesPerUnit, e.name);
    }
    EXPECT_GE(bounded, 25);
}

// The rows of domain/convert.tsv, then those of the chains, each on the
// default ACE settings.
TEST_F(Domain, Vectors) {
    auto rows = test::read_rows("domain/convert.tsv", 1);
    for (const char* file : {"chains/inner_zero.tsv", "chains/ace_exports.tsv"})
        for (const auto& row : test::read_rows(file, 7)) rows.insert(rows.end(), {{{"reset"}, row.where}, row});
    EXPECT_GT(rows.size(), 250u);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.where);
        const std::string& kind = row[0];
        if (kind == "zones") {
            reset_ace_settings();
            std::vector<test::Zone> zones;
            for (size_t i = 1; i < row.size(); ++i) zones.push_back(zone_of_field(row[i]));
            test::install_zones(zones);
        } else if (kind == "reset") {
            reset_ace_settings();
        } else if (kind == "setting") {
            const std::string_view got = row.get(1) == "race_prefix" ? race_prefix()
                                         : row.get(1) == "race_suffix" ? race_suffix()
                                                                     : punycode_prefix();
            EXPECT_EQ(got, row.get(2));
        } else if (kind == "suffix") {
            EXPECT_EQ(zone_suffix_match(row.get(1), row.get(2)), std::stoi(row.get(3)));
            const bool ascii = utf16(row.get(1)).size() == row.get(1).size();  // one unit a byte
            EXPECT_EQ(zone_suffix_match_w(utf16(row.get(1)), row.get(2)), ascii ? std::stoi(row.get(3)) : 0);
        } else if (kind == "options") {
            EXPECT_EQ(zone_prep_options(std::stoi(row.get(1), nullptr, 0), row.get(2), row.get(3) == "1"),
                      std::stoul(row.get(4), nullptr, 16));
        } else if (kind == "parse") {
            ZoneRecord r{};
            parse_zone_value(r, test::unescape(row.get(1)));
            const std::string got[] = {r.alt_prefix, r.alt_codec, r.alt_suffix, r.strip_tail, r.append_tail,
                                       std::to_string(r.prep_flags), r.prefix, r.codec, r.suffix};
            for (size_t i = 0; i < 9; ++i) EXPECT_EQ(got[i], row.get(2 + i)) << "field " << i;
        } else if (kind == "domain") {
            std::u16string out = u"untouched";
            const char* codec = nullptr;
            uint32_t error = 0;
            const int ok = convert_domain(utf16(row.get(1)), out, codec, "UTF-8", error);
            EXPECT_EQ(error, std::stoul(row.get(2)));
            EXPECT_EQ(ok, error == 0);
            if (ok && row.get(3) != "*") {
                EXPECT_EQ(narrow(out), row.get(3));
            } else if (!ok) {
                EXPECT_EQ(out, u"untouched") << "output changed on failure";
            }
            if (row.get(4) != "*") { EXPECT_EQ(codec != nullptr ? codec : "", row.get(4)) << "codec"; }
        } else if (kind == "prep_u") {
            check_prep<char16_t>(row, NamePrep_U, utf16, kMark);
        } else if (kind == "native") {
            check_prep<char>(row, NamePrep, B, '\x55');
        } else {
            check_export_row(row);
        }
    }
}

// The zone index against the plain first-match scan in table order, on
// random tables and names: short texts over a small alphabet, so that
// duplicates, zones that end each other and names that hit them are common
// ("\xC3" never matches a unit; "@" and empty zones are odd but legal).
TEST(ZoneIndex, AgreesWithFirstMatchScan) {
    std::mt19937 rng(20261206);
    // Empty in one draw of max_len + 1, as long as the other texts.
    auto text = [&rng](std::string_view alphabet, size_t max_len) {
        return rng() % (max_len + 1) == 0 ? "" : test::random_text<char>(rng, alphabet, max_len);
    };
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> zones(rng() % 40);
        for (std::string& z : zones) {
            z.assign(rng() % 2, '.');  // a count of dots, then appended: g++ 12
            z += text("ab.@\xC3", 5);  // -O3 warns falsely on string literals here
            if (rng() % 50 == 0) z = std::string(255, 'a');
        }
        const std::vector<ZoneRecord> records = records_of(zones);
        const auto table = zone_table_of(records.data(), records.size());
        ASSERT_TRUE(table);
        for (int n = 0; n < 60; ++n) {
            const std::string racex = rng() % 50 == 0 ? std::string(300, 'a') : text("ab.", 9);
            std::u16string name;
            for (char c : text("ab.@u", 9)) name.push_back(c == 'u' ? u'\u00FC' : c);
            int32_t suffix = -1, mailbox = -1;
            for (int32_t i = table->size() - 1; i >= 0; --i) {
                const bool dot = records[i].zone[0] == '.';
                if (dot && zone_suffix_match(racex, records[i].zone)) suffix = i;
                if (!dot && zone_suffix_match_w(name, records[i].zone)) mailbox = i;
            }
            EXPECT_EQ(table->find_suffix_zone(racex), suffix) << racex;
            EXPECT_EQ(table->find_mailbox_zone(name), mailbox);
        }
    }
}

// A label of units that exercise every RACE compression case: ASCII, row 0
// above 0x7F, 0xFF escapes, one other row, a second row, row 0xD8.
std::u16string random_label(std::mt19937& rng) {
    static constexpr char16_t kUnits[] = {u'a', u'b', 0xFC, 0xFF, 0x4E2D, 0x4EFF, 0x0431, 0xD834};
    // Mostly short; sometimes long enough that its RACE form exceeds 63 bytes.
    const size_t len = rng() % 8 == 0 ? 20 + rng() % 60 : rng() % 6;
    const size_t kinds = rng() % 2 ? 3 : std::size(kUnits);  // often ASCII and row 0 only
    std::u16string s;
    for (size_t i = 0; i < len; ++i) s.push_back(kUnits[rng() % kinds]);
    return s;
}

std::u16string random_name(std::mt19937& rng) {
    std::u16string name = random_label(rng);
    const size_t labels = rng() % 12 == 0 ? 40 : rng() % 5;  // some over the 1024-byte form
    for (size_t i = 0; i < labels; ++i) {
        name.push_back(rng() % 6 == 0 ? u'@' : u'.');
        name += random_label(rng);
    }
    if (rng() % 20 == 0) name.insert(name.size() / 2, 1, u'\0');  // the form ends there
    return name;
}

// The labels of name after its last k separators (all of it where it has
// fewer).
template <class Text>
Text last_labels(const Text& name, const typename Text::value_type* separators, int k) {
    size_t cut = name.size();
    while (k-- > 0 && cut > 0) {
        cut = name.find_last_of(separators, cut - 1);
        if (cut == Text::npos) return name;
    }
    return name.substr(cut);
}

// A name's domain-suffix zone, found from the RACEX form of its last labels
// only, against the zone index run on the whole RACEX form, on random tables,
// names and RACE suffix settings.
TEST_F(Domain, RacexZoneAgreesWithTheWholeForm) {
    std::mt19937 rng(20261206);
    const char* suffixes[] = {"", "-s", ".q", "x@"};
    int hits = 0, deep_hits = 0, refused = 0;
    std::vector<std::u16string> boundary;  // names whose RACEX form is near its limits
    for (const auto& row : test::read_rows("domain/racex_names.tsv", 1)) boundary.push_back(utf16(row[0]));
    for (int round = 0; round < 200; ++round) {
        set_ace_prefix("racex", "ra--");
        set_ace_suffix("race", suffixes[rng() % std::size(suffixes)]);
        std::vector<std::u16string> pool = boundary;
        for (int i = 0; i < 10; ++i) pool.push_back(random_name(rng));
        // Zones cut at dots from the RACEX forms of the pool, some not
        // starting at a dot.
        std::vector<std::string> zones(rng() % 30);
        for (std::string& zone : zones) {
            std::string form;
            if (racex_from_unicode(pool[rng() % pool.size()], form) == 0) continue;
            zone = last_labels(form, ".", 1 + rng() % 3);
            if (rng() % 8 == 0 && zone.size() > 1) zone.erase(0, 1);
        }
        const std::vector<ZoneRecord> records = records_of(zones);
        const auto table = zone_table_of(records.data(), records.size());
        ASSERT_TRUE(table);
        // The pool itself, and random labels in front of a pool name's last
        // labels.
        std::vector<std::u16string> names = pool;
        for (int n = 0; n < 40; ++n)
            names.push_back(random_name(rng) + last_labels(pool[rng() % pool.size()], u".@", 1 + rng() % 3));
        for (const std::u16string& name : names) {
            std::string whole;
            const bool encoded = racex_from_unicode(until_zero(name), whole) == 1 &&
                                 !whole.empty() && whole.size() <= 8191;
            const int32_t expected = encoded ? table->find_suffix_zone(whole) : -1;
            int32_t record = 99;
            EXPECT_EQ(racex_suffix_zone(table.get(), name, record), encoded ? 1 : 0) << test::show(name);
            EXPECT_EQ(record, expected) << test::show(name) << " " << whole;
            EXPECT_EQ(racex_suffix_zone(nullptr, name, record), encoded ? 1 : 0);
            EXPECT_EQ(record, -1);
            hits += expected >= 0;
            deep_hits += expected >= 0 && std::count(records[expected].zone,
                                                     records[expected].zone + 256, '.') > 1;
            refused += !encoded;
        }
    }
    // The draw reaches every outcome often enough to mean something.
    EXPECT_GT(hits, 1000);
    EXPECT_GT(deep_hits, 300);
    EXPECT_GT(refused, 100);
}

// Runs f with stdout (the DUDE decoder's lines, written past stdio to fd 1)
// captured and dropped; test assertions stay outside, since GoogleTest
// reports on stdout.
template <class F>
auto quietly(F&& f) {
    testing::internal::CaptureStdout();
    auto r = f();
    testing::internal::GetCapturedStdout();
    return r;
}

const EncodingEntry& codec_entry(const std::string& name) {
    EXPECT_EQ(init_once(), 1);
    const EncodingEntry* e = find_encoding(name);
    if (e == nullptr) throw std::runtime_error("not registered: " + name);
    return *e;
}

// Units of a row field: "U+XXXX" tokens, or UTF-8 text.
std::u16string row_units(const std::string& f) {
    return f.find("U+") != std::string::npos ? test::M(f) : test::utf16(f);
}

// Internal steps with rows of their own, bytes in and out; -1: no such step.
int step(const std::string& name, const std::string& in, std::string& out) {
    static const SplitStyle utf5{"", 61, 0}, race{"ra--", 57, 4};
    const SplitStyle& style = name.ends_with("utf5") ? utf5 : race;
    if (name.starts_with("split-")) return split_long_labels(in, style, out);
    if (name.starts_with("join-")) return join_split_labels(in, style, out);
    return name == "base32" ? (base32_encode(in, out), 1) : -1;
}

// The codec column: a codec name, then settings applied before the row,
// "[name.]prefix=value" or "[name.]suffix=value" (under the codec's own name
// when none is given; "(null)" passes a null pointer).
std::string apply_settings(const std::string& column) {
    reset_ace_settings();
    std::stringstream words(column);
    std::string codec, w;
    words >> codec;
    while (words >> w) {
        const size_t eq = w.find('='), dot = w.rfind('.', eq);  // npos + 1 == 0
        const std::string name = dot == std::string::npos ? codec : w.substr(0, dot), value = w.substr(eq + 1);
        if (w.substr(dot + 1, eq - dot - 1) == "prefix") set_ace_prefix(c_str(name), c_str(value));
        else set_ace_suffix(c_str(name), c_str(value));
    }
    return codec;
}

// Expected "~": the output decodes back to the input; "*": any output (or
// result).
void check_row(const test::Row& r) {
    SCOPED_TRACE(r.where + " " + r[0] + " " + r[1] + " " + r[2].substr(0, 60));
    const std::string name = apply_settings(r[0]);
    const std::string in = test::text(r[2], "(empty)"), want = test::text(r[3], "(empty)");
    const int result = r[4] == "*" ? -1 : std::stoi(r[4]);
    std::string out;
    if (const int r = step(name, B(in), out); r >= 0) {
        EXPECT_EQ(r, result);
        if (want != "*") { EXPECT_EQ(out, B(want)); }
        return;
    }
    const EncodingEntry& e = codec_entry(name);
    if (r[1] == "enc") {
        std::u16string back;
        out = "stale";
        EXPECT_EQ(e.from_unicode(row_units(in), out), result);
        if (want == "~") { EXPECT_EQ(quietly([&] { return e.to_unicode(out, back) == 1 && back == row_units(in); }), true); }
        if (want != "~" && want != "*") { EXPECT_EQ(show_bytes(out), show_bytes(B(want))); }
    } else if (r[1] == "out") {
        // What the decoder writes to fd 1, between two writes of the caller.
        std::u16string out;
        testing::internal::CaptureStdout();
        std::printf("<");
        std::fflush(stdout);
        const int got = e.to_unicode(B(in), out);
        const bool written = write(1, ">", 1) == 1;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "<" + test::unescape(want) + ">");
        EXPECT_TRUE(written);
        if (result >= 0) { EXPECT_EQ(got, result); }
    } else {
        std::u16string out = u"stale";
        EXPECT_EQ(quietly([&] { return e.to_unicode(B(in), out); }), result);
        if (want != "*") { EXPECT_EQ(show(out), show(row_units(want))); }
    }
}

// The codec rows, then Python's Punycode rows, each both ways.
TEST(AceCodecs, VectorRows) {
    const auto rows = test::read_rows("ace/codecs.tsv", 5), python = test::read_rows("punycode/python.tsv", 2);
    for (const auto& r : rows) check_row(r);
    for (const auto& r : python) {
        check_row({{"AMC-Z", "enc", r[0], r[1], "1"}, r.where});
        check_row({{"AMC-Z", "dec", r[1], r[0], "1"}, r.where});
    }
    EXPECT_GT(rows.size(), 250u);
    EXPECT_EQ(python.size(), 500u);
}

// Up to four labels (two when long) separated by "." or "@", with no
// separator inside; no "-" in an all-ASCII label, which is copied as it
// stands (a "-0." marker or a prefix could arise by chance).  The columns of
// the codec's row in ace/sweeps.tsv say which units and label lengths occur.
std::u16string random_ace_name(std::mt19937& rng, const test::Row& c) {
    static const char kLdh[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";
    static const unsigned lo[] = {0, 0xA0, 0x400, 0x4E00, 0x80}, span[] = {0, 0x60, 0x100, 0x5200, 0xFF80};
    const bool any_units = c[1] == "any", long_labels = c[2] == "1", no_capitals = c[4] == "0";
    std::u16string name;
    for (unsigned l = 0, labels = 1 + rng() % (long_labels ? 2 : 4); l < labels; ++l) {
        if (l > 0) name.push_back(rng() % 4 ? u'.' : u'@');
        const size_t len = long_labels && rng() % 2 ? 64 + rng() % 37 : 1 + rng() % std::stoul(c[3]);
        const auto start = static_cast<long>(name.size());
        const bool ascii_only = !any_units && rng() % 4 == 0;
        for (size_t i = 0; i < len; ++i) {
            const unsigned k = ascii_only ? 0 : rng() % 5;
            auto u = static_cast<char16_t>(k ? lo[k] + rng() % span[k] : kLdh[rng() % (ascii_only ? 62 : 64)]);
            if (k == 0 && i == 0 && (u == '-' || u == 'a' || u == 'A')) u = 'k';
            if (any_units) u = static_cast<char16_t>(1 + rng() % 0xFFFF);
            if (u == 0x3002 || u == 0xFF20 || u == '.' || u == '@') u = 0x3003;
            if (no_capitals && u >= 'A' && u <= 'Z') u = static_cast<char16_t>(u + 32);
            name.push_back(u);
        }
        if (std::all_of(name.begin() + start, name.end(), [](char16_t u) { return u < 0x80; }))
            std::replace(name.begin() + start, name.end(), u'-', u'k');
    }
    return name;
}

// Every codec of ace/sweeps.tsv: seeded round trips of random names; every
// byte value, alone and after the prefixes and markers, and random bytes fed
// to the decoder; and where the encoder is total on what the decoder yields,
// decoded texts encoded and decoded again.
TEST(AceCodecs, EveryCodecSweeps) {
    reset_ace_settings();
    const std::string heads[] = {"", "lq--", "LQ--", "dq--", "aq8", "\\0x", "&#", "M", "a.", "\xC3", "-0.", "ra--", "xn--a"};
    for (const auto& c : test::read_rows("ace/sweeps.tsv", 6)) {
        SCOPED_TRACE(c.where + " " + c[0]);
        const EncodingEntry& e = codec_entry(c[0]);
        std::mt19937 rng(20240607);
        bool saw_long = false;
        const std::string fault = quietly([&]() -> std::string {
            for (int n = 0; n < 400; ++n) {
                const std::u16string name = random_ace_name(rng, c);
                std::string enc;
                std::u16string dec;
                if (e.from_unicode(name, enc) != 1) return "encoding failed: " + show(name);
                if (e.to_unicode(enc, dec) != 1) return "decoding failed: " + show_bytes(enc);
                if (dec != name) return show(name) + " came back as " + show(dec);
                for (size_t p = 0, q; p <= enc.size(); p = q + 1) {
                    q = std::min(enc.find('.', p), enc.size());
                    saw_long = saw_long || q - p > 63;
                }
            }
            return "";
        });
        EXPECT_EQ(fault, "");
        // The "x" variants never leave a label over 63 characters.
        if (c[0].back() == 'x') { EXPECT_FALSE(saw_long); }
        // A decoder ends in success or a clean failure, never yields more
        // units than it read bytes, and RawACE empties its output on failure.
        std::string bad;  // the first input that fails
        auto check = [&](const std::string& src) {
            std::u16string dst;
            const int r = e.to_unicode(src, dst);
            if ((r != 0 && r != 1) || dst.size() > src.size() || (r == 0 && c[0] == "rawace" && !dst.empty()))
                bad = bad.empty() ? show_bytes(src) : bad;
        };
        quietly([&] {
            for (const std::string& head : heads)
                for (unsigned a = 0; a < 256; ++a) {
                    check(head + char(a));
                    for (unsigned b = 0; b < 256; b += head.empty() ? 1 : 17) check(head + char(a) + char(b));
                }
            for (int n = 0; n < 2000; ++n) {
                std::string src = heads[rng() % std::size(heads)];
                for (size_t i = rng() % 80; i > 0; --i) src.push_back(static_cast<char>(rng()));
                check(src);
            }
            return 0;
        });
        EXPECT_EQ(bad, "");
        if (c[5] != "1") continue;
        // A decoded text survives encoding and decoding again, up to its
        // first zero unit (where the encoder's zero-terminated source ends).
        const std::string alphabet = "GHMV09AF.@\\0xX\xC3\xBC\xE6\x97\xA5\x80";
        int decoded = 0;
        for (int n = 0; n < 20000; ++n) {
            std::string src = test::random_text<char>(rng, alphabet, 24);
            char buf[8];
            if (c[0] == "rawace") src.assign(buf, std::snprintf(buf, sizeof buf, "\\0x%04X", static_cast<unsigned>(rng() & 0xFFFF)));
            std::u16string first, second;
            std::string enc;
            if (e.to_unicode(src, first) == 0 || e.from_unicode(first, enc) == 0) continue;
            ++decoded;
            ASSERT_EQ(e.to_unicode(enc, second), 1) << show_bytes(enc);
            ASSERT_EQ(show(second), show(until_zero(first))) << show_bytes(src);
        }
        EXPECT_GT(decoded, 100);
    }
}

}  // namespace
