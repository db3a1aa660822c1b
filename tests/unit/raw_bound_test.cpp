// SPDX-License-Identifier: MIT
// The length-taking conversions write a charset's raw converter straight
// into a caller's buffer that has the charset bound's room.  Every entry that
// declares the bound keeps within it here: every byte pair and every unit,
// and random texts mixing ASCII with what the charset itself decodes to
// (shift sequences), into exactly that room followed by a guard; and a
// decoder reads nothing past the length it is given.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "codecs/codecs.h"
#include "encoding/encoding.h"
#include "test_support.h"

namespace {

using namespace nessel;

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
    ASSERT_EQ(register_all_encodings(), 1);
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
            const std::string b = nessel::test::random_text<char>(rng, nonzero, 24);
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

}  // namespace
