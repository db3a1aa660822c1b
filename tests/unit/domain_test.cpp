// SPDX-License-Identifier: MIT
// Zone-directed conversion: the steps of tests/vectors/domain/convert.tsv
// (matching, options, zone values, zone and codec choice, tails, the
// settings a conversion leaves, the NamePrep and NamePrep_U exports with
// their buffers and the fallback encodings), then two differential tests on
// random tables: the zone index against a first-match scan, and the RACEX
// zone pass over a name's last labels against the index on the whole form.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>
#include <vector>

#include "ace/convert.h"
#include "ace/enc_utf.h"
#include "config/zone_table.h"
#include "domain/convert_domain.h"
#include "domain/to_ace.h"
#include "nessel.h"
#include "test_support.h"
#include "zone_fixture.h"

using namespace nessel;
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
    std::vector<ZoneRecord> records(zones.size());
    for (size_t i = 0; i < zones.size(); ++i) {
        std::memset(&records[i], 0, sizeof records[i]);
        std::memcpy(records[i].zone, zones[i].data(), std::min(zones[i].size(), kMaxZoneField));
    }
    return records;
}

class Domain : public test::ZoneTest {};

TEST_F(Domain, Vectors) {
    const auto rows = test::read_rows("domain/convert.tsv", 1);
    EXPECT_GT(rows.size(), 100u);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.where);
        const std::string& kind = row[0];
        // Field i's pointer, or null where the field is "(null)".
        const auto arg = [&row](size_t i, auto* p) -> decltype(p) { return row.get(i) == "(null)" ? nullptr : p; };
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
            ZoneRecord r;
            std::memset(&r, 0, sizeof r);
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
            // NamePrep_U into a buffer of kMark units, the codec buffer holding "(none)".
            std::u16string in = utf16(row.get(1)), raw(1024, kMark);
            char codec[256] = "(none)";
            const std::string encoding = row.get(8).empty() ? "UTF-8" : row.get(8);
            EXPECT_EQ(NamePrep_U(arg(8, encoding.c_str()), arg(1, reinterpret_cast<const nessel_unit*>(in.c_str())),
                                 arg(3, reinterpret_cast<nessel_unit*>(raw.data())),
                                 row.get(5).empty() ? 2048 : std::stoul(row.get(5)), arg(4, codec),
                                 row.get(6).empty() ? 256 : std::stoul(row.get(6)), 0),
                      std::stoul(row.get(2)));
            if (checked(row.get(4))) { EXPECT_EQ(codec, row.get(4)); }
            if (!row.get(7).empty()) {
                const size_t n = std::stoul(row.get(7));
                EXPECT_EQ(raw, std::u16string(n, 0) + std::u16string(1024 - n, kMark)) << "output written";
            }
            if (checked(row.get(3))) { EXPECT_EQ(std::u16string(raw.c_str()), utf16(row.get(3))); }
        } else if (kind == "native") {
            // NamePrep into a buffer of 0x55 bytes, the codec buffer holding "(none)".
            const uint32_t size = std::stoul(row.get(4));
            const std::string in = test::B(row.get(2));
            std::string raw(std::min(size, kMaxNativeOutputSize) + 64, '\x55');
            char codec[256] = "(none)";
            EXPECT_EQ(NamePrep(arg(1, row[1].c_str()), arg(2, in.c_str()), arg(6, raw.data()), size, arg(7, codec), 256,
                               static_cast<unsigned char>(std::stoul(row.get(3), nullptr, 16))),
                      std::stoul(row.get(5)));
            if (checked(row.get(6))) { EXPECT_EQ(std::string(raw.c_str()), row.get(6)); }
            if (checked(row.get(7))) { EXPECT_EQ(codec, row.get(7)); }
            if (row.get(8) != "*") {
                const size_t n = std::stoul(row.get(8));
                EXPECT_EQ(raw, std::string(n, '\0') + std::string(raw.size() - n, '\x55'));
            }
        } else {
            ADD_FAILURE() << "unknown kind";
        }
    }
}

// The zone index against the plain first-match scan in table order, on
// random tables and names: short texts over a small alphabet, so that
// duplicates, zones that end each other and names that hit them are common
// ("\xC3" never matches a unit; "@" and empty zones are odd but legal).
TEST(ZoneIndex, AgreesWithFirstMatchScan) {
    std::mt19937 rng(20261206);
    auto text = [&rng](const char* alphabet, unsigned max_len) {
        std::string s(rng() % (max_len + 1), ' ');
        for (char& c : s) c = alphabet[rng() % std::strlen(alphabet)];
        return s;
    };
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> zones(rng() % 40);
        for (std::string& z : zones) {
            z = rng() % 2 ? "." : "";  // appended, not literal + string:
            z += text("ab.@\xC3", 5);  // g++ 12 -O3 warns falsely on that
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

// The labels of name after its last k separators.
std::u16string last_labels(const std::u16string& name, int k) {
    size_t cut = name.size();
    while (k-- > 0 && cut > 0) {
        cut = name.find_last_of(u".@", cut - 1);
        if (cut == std::u16string::npos) return name;
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
            size_t cut = form.size();
            for (int dots = 1 + static_cast<int>(rng() % 3); dots > 0 && cut > 0; --dots)
                cut = form.rfind('.', cut - 1);
            zone = form.substr(cut == std::string::npos ? 0 : cut);
            if (rng() % 8 == 0 && zone.size() > 1) zone.erase(0, 1);
        }
        const std::vector<ZoneRecord> records = records_of(zones);
        const auto table = zone_table_of(records.data(), records.size());
        ASSERT_TRUE(table);
        // The pool itself, and random labels in front of a pool name's last
        // labels.
        std::vector<std::u16string> names = pool;
        for (int n = 0; n < 40; ++n)
            names.push_back(random_name(rng) + last_labels(pool[rng() % pool.size()], 1 + rng() % 3));
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

}  // namespace
