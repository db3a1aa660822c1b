// SPDX-License-Identifier: MIT
// tests/unit/reg_cli_test.cpp: "nessel reg" run as a program on a private store.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <thread>

#include "config/registry.h"
#include "config_support.h"
#include "program_runner.h"

namespace nessel {
namespace {

// The program with the arguments; its standard error is not looked at.
test::RunResult nessel(const std::vector<std::string>& args) { return test::run_program(args); }

// A listing ("name\ttype\tdata" lines, written in creation order) in the
// order the store enumerates the values.
std::string as_enumerated(const std::string& listing) {
    std::map<std::string, std::string> line_of;
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t nl; (nl = listing.find('\n', start)) != std::string::npos; start = nl + 1) {
        const std::string line = listing.substr(start, nl + 1 - start);
        names.push_back(line.substr(0, line.find('\t')));
        line_of[names.back()] = line;
    }
    std::string out;
    for (const auto& name : test::in_enumeration_order(names)) out += line_of[name];
    return out + listing.substr(start);
}

class RegCli : public test::ConfigTest {};

TEST_F(RegCli, SetGetListDelete) {
    const std::string k = test::kDnsf;
    struct Step {
        std::vector<std::string> args;
        int status;
        std::string out;
    } steps[] = {
        {{"reg", "list", k}, 0, ""},
        {{"reg", "set", k, ".zz", ";;;;;165;xn--;punycode;"}, 0, ""},
        {{"reg", "set", k, ".yy", "x y"}, 0, ""},
        {{"reg", "set", k, "count", "42", "--dword"}, 0, ""},
        {{"reg", "set", k, "neg", "-1", "--dword"}, 0, ""},
        {{"reg", "set", k, ".ZZ", "rewritten"}, 0, ""},  // same value, keeps its place
        {{"reg", "list", k}, 0, ".zz\tREG_SZ\trewritten\n.yy\tREG_SZ\tx y\ncount\tREG_DWORD\t42\nneg\tREG_DWORD\t4294967295\n"},
        {{"reg", "get", "software\\TALVEX international inc.\\talvex client\\dnsf", ".YY"}, 0, "x y\n"},
        {{"reg", "get", k, "count"}, 0, "42\n"},
        {{"reg", "get", k, "absent"}, 1, ""},
        {{"reg", "delete", k, ".yy"}, 0, ""},
        {{"reg", "delete", k, ".yy"}, 1, ""},
        {{"reg", "list", k}, 0, ".zz\tREG_SZ\trewritten\ncount\tREG_DWORD\t42\nneg\tREG_DWORD\t4294967295\n"},
        {{"reg", "set", k, ".yy", "back"}, 0, ""},  // recreated: now last
        {{"reg", "list", k}, 0, ".zz\tREG_SZ\trewritten\ncount\tREG_DWORD\t42\nneg\tREG_DWORD\t4294967295\n.yy\tREG_SZ\tback\n"},
        {{"reg", "delete", k}, 0, ""},
        {{"reg", "list", k}, 0, ""},
        {{"reg", "set", k, "n", "4294967296", "--dword"}, 2, ""},
        {{"reg", "set", k, "n", "12x", "--dword"}, 2, ""},
        {{"reg", "set", k, "n", "-2147483649", "--dword"}, 2, ""},
        {{"reg", "set", k, "n", "-2147483648", "--dword"}, 0, ""},
        {{"reg", "get", k, "n"}, 0, "2147483648\n"},
        {{"reg", "set", "\\leading", "n", "x"}, 1, ""},
        {{"reg", "frob", k}, 2, ""},
        {{"reg", "get", k}, 2, ""},
        {{"reg"}, 2, ""},
    };
    for (const auto& s : steps) {
        test::RunResult r = nessel(s.args);
        std::string shown;
        for (const auto& a : s.args) shown += a + " ";
        EXPECT_EQ(r.status, s.status) << shown;
        EXPECT_EQ(r.out, as_enumerated(s.out)) << shown;
    }
    // What the library reads is what the program wrote.
    uint32_t n = 0;
    ASSERT_EQ(reg_read_dword(kDnsfKey, "n", n), 0);
    EXPECT_EQ(n, 0x80000000u);
}

TEST_F(RegCli, StoreLocationFollowsEnvironment) {
#ifdef _WIN32
    GTEST_SKIP() << "the store is the system registry here, not a file of the user's";
#endif
    ASSERT_EQ(nessel({"reg", "set", "Software\\T", "v", "home"}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(store()));
    test::set_env("XDG_CONFIG_HOME", (tmp() + "/xdg").c_str());
    EXPECT_EQ(nessel({"reg", "get", "Software\\T", "v"}).status, 1);
    ASSERT_EQ(nessel({"reg", "set", "Software\\T", "v", "xdg"}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(tmp() + "/xdg/nessel/registry.db"));
    EXPECT_EQ(nessel({"reg", "get", "Software\\T", "v"}).out, "xdg\n");
    test::set_env("XDG_CONFIG_HOME", "");  // empty counts as unset
    EXPECT_EQ(nessel({"reg", "get", "Software\\T", "v"}).out, "home\n");
    test::set_env("XDG_CONFIG_HOME", nullptr);
}

TEST_F(RegCli, CorruptStoreFailsCleanly) {
#ifdef _WIN32
    GTEST_SKIP() << "the store is the system registry here, not a file of the user's";
#endif
    std::filesystem::create_directories(home() + "/.config/nessel");
    test::write_file(store(), "this is not a database, just text that fills a page or so");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"reg", "list", "Software\\T"}, {"reg", "get", "Software\\T", "v"},
             {"reg", "set", "Software\\T", "v", "x"}, {"reg", "delete", "Software\\T"}})
        EXPECT_EQ(nessel(args).status, 1) << args[1];
}

TEST_F(RegCli, ConcurrentWritersLoseNothing) {
    // Eight writers at once, each running the program ten times to write its
    // own values into one key.
    std::vector<std::thread> writers;
    std::vector<std::string> failures(8);
    const std::string key = "SOFTWARE\\Talvex international inc.\\Shared";
    for (int p = 0; p < 8; ++p)
        writers.emplace_back([p, &key, &failures] {
            for (int i = 0; i < 10; ++i) {
                const std::string name =
                    std::string("p").append(std::to_string(p)).append("_").append(std::to_string(i));
                test::RunResult r = test::run_program({"reg", "set", key, name, std::to_string(i), "--dword"});
                if (r.status != 0) failures[p] += name + ": " + std::to_string(r.status) + " " + r.err + "\n";
            }
        });
    for (auto& w : writers) w.join();
    EXPECT_EQ(failures, std::vector<std::string>(8));
    test::RunResult r = nessel({"reg", "list", key});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 80);
}

}  // namespace
}  // namespace nessel
