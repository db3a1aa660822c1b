// SPDX-License-Identifier: MIT
// tests/unit/threads_test.cpp: eight threads convert and decode names while
// one thread forces updates from a loopback server that serves two zone
// configurations in turn and another calls InitSDK (and, at the end,
// DeinitSDK).  Every outcome must be the one of configuration A or of B as
// a single thread gets it, or a shut-down code once DeinitSDK is running.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "base/result_codes.h"
#include "config/registry.h"
#include "config_support.h"
#include "nessel.h"

namespace nessel {
namespace {

using Units = std::vector<nessel_unit>;

struct Outcome {
    uint32_t code = 0, decode_code = 0;
    Units ace, decoded;
    std::string codec;
    bool operator==(const Outcome&) const = default;
};

Units units(std::u16string_view s) {
    Units u(s.begin(), s.end());
    u.push_back(0);
    return u;
}
Units upto_zero(const nessel_unit* p) { return units(std::u16string(reinterpret_cast<const char16_t*>(p))); }

Outcome convert(const Units& name) {
    Outcome o;
    nessel_unit out[512] = {};
    char codec[256] = {};
    o.code = NamePrep_U("UTF-8", name.data(), out, sizeof out, codec, sizeof codec, 0);
    if (o.code != kOk) return o;
    o.ace = upto_zero(out);
    o.codec = codec;
    std::string ace(o.ace.begin(), o.ace.end() - 1);
    nessel_unit back[512] = {};
    o.decode_code = AceToUnicode(codec, ace.c_str(), back, 0);
    o.decoded = upto_zero(back);
    return o;
}

// Zones of one configuration: six or more, so that no load imports a file.
std::string config(int version, const std::vector<std::pair<std::string, std::string>>& zones) {
    std::vector<test::Entry> entries;
    for (const auto& [zone, codec] : zones) {
        test::Entry e;
        e.name = zone;
        e.value = codec == "racex" ? ";;;;;0;ra--;racex;" : ";;;;;0;xn--;amc-z;";
        entries.push_back(e);
    }
    return test::make_ini("VERSION=" + std::to_string(version), entries);
}

class Threads : public test::ConfigTest {};

TEST_F(Threads, ConversionsSeeOneTableWhileReloadsAndShutdownRun) {
    const std::string served[2] = {
        config(1, {{".zz", "amc-z"}, {".yy", "racex"}, {"example.zz", "racex"}, {".f1", "amc-z"},
                   {".f2", "amc-z"}, {".f3", "amc-z"}}),
        config(2, {{".zz", "racex"}, {".yy", "amc-z"}, {".f1", "racex"}, {".f2", "racex"},
                   {".f3", "racex"}, {".f4", "racex"}})};
    std::atomic<int> requests{0};
    test::HttpServer server([&](const test::HttpRequest&) {
        return test::HttpReply{200, served[requests++ % 2]};
    });
    ASSERT_EQ(reg_write_text(kTalvexClientKey, "UpdateServerURL", server.url()), 0);
    const std::vector<Units> names = {units(u"b\u00FCcher.zz"), units(u"\u4E2D\u6587.yy"),
                                      units(u"\u00FC.f1"), units(u"\u00FC@example.zz"),
                                      units(u"\u043C\u043E\u0441\u043A\u0432\u0430.zz.f4")};
    // What one thread gets under each configuration.
    std::vector<Outcome> expected[2];
    for (int c = 0; c < 2; ++c) {
        ASSERT_EQ(UpdateRegistry(), 1);
        if (c == 0) {
            ASSERT_EQ(InitSDK(), kOk);
        }
        for (const Units& n : names) expected[c].push_back(convert(n));
    }
    ASSERT_NE(expected[0], expected[1]);
    const std::string big5 = "\xA4\xA4\xA4\xE5";
    nessel_unit text[16] = {};
    ASSERT_EQ(encoding2unicode(str2enctype("big5"), big5.c_str(), text), 1);
    const Units big5_units = upto_zero(text);
    const Units raw = units(u"B\u00DCCHER.de"), prepped = units(u"b\u00FCcher.de");

    std::atomic<bool> stop{false}, shutting_down{false};
    std::atomic<int> bad{0}, seen[2] = {0, 0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            for (std::size_t i = t; !stop; ++i) {
                const std::size_t k = i % names.size();
                const Outcome o = convert(names[k]);
                const bool late = shutting_down;  // read after: DeinitSDK may have run meanwhile
                if (o == expected[0][k]) ++seen[0];
                else if (o == expected[1][k]) ++seen[1];
                else if (!late || (o.code != kErrNoZone && o.code != kErrConversion && o.decode_code != kErrNoCodec)) ++bad;
                nessel_unit out[64] = {};
                const int r = encoding2unicode(str2enctype("big5"), big5.c_str(), out);
                if ((r != 1 || upto_zero(out) != big5_units) && !shutting_down) ++bad;
                if (talvex_name_prep_u(raw.data(), out, 64, 0) != 0 || upto_zero(out) != prepped) ++bad;
            }
        });
    threads.emplace_back([&] {
        while (!stop) (void)UpdateRegistry();
    });
    threads.emplace_back([&] {
        for (int round = 0; !stop; ++round) {
            if (shutting_down && round % 2) (void)DeinitSDK();
            else if (InitSDK() != kOk) ++bad;
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    shutting_down = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    stop = true;
    for (auto& th : threads) th.join();
    EXPECT_EQ(bad, 0);
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    EXPECT_GT(requests, 4) << "the reloads ran";
    (void)DeinitSDK();
}

}  // namespace
}  // namespace nessel
