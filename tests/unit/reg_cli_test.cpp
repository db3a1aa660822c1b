// SPDX-License-Identifier: MIT
// tests/unit/reg_cli_test.cpp: "nessel reg" run as a program on a private store.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "config/registry.h"
#include "config_support.h"

namespace nessel {
namespace {

struct ProgramRun {
    int status;
    std::string out;
};

// Runs the program with the arguments (single-quoted for the shell).
ProgramRun nessel(const std::vector<std::string>& args) {
    std::string cmd = std::string("'") + NESSEL_PROGRAM + "'";
    for (const auto& a : args) {
        std::string q;
        for (char c : a) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        cmd += " '" + q + "'";
    }
    cmd += " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    ProgramRun r{-1, {}};
    if (p == nullptr) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
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
        ProgramRun r = nessel(s.args);
        std::string shown;
        for (const auto& a : s.args) shown += a + " ";
        EXPECT_EQ(r.status, s.status) << shown;
        EXPECT_EQ(r.out, s.out) << shown;
    }
    // What the library reads is what the program wrote.
    uint32_t n = 0;
    ASSERT_EQ(reg_read_dword(kDnsfKey, "n", n), 0);
    EXPECT_EQ(n, 0x80000000u);
}

TEST_F(RegCli, StoreLocationFollowsEnvironment) {
    ASSERT_EQ(nessel({"reg", "set", "Software\\T", "v", "home"}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(store()));
    setenv("XDG_CONFIG_HOME", (tmp() + "/xdg").c_str(), 1);
    EXPECT_EQ(nessel({"reg", "get", "Software\\T", "v"}).status, 1);
    ASSERT_EQ(nessel({"reg", "set", "Software\\T", "v", "xdg"}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(tmp() + "/xdg/nessel/registry.db"));
    EXPECT_EQ(nessel({"reg", "get", "Software\\T", "v"}).out, "xdg\n");
    setenv("XDG_CONFIG_HOME", "", 1);  // empty counts as unset
    EXPECT_EQ(nessel({"reg", "get", "Software\\T", "v"}).out, "home\n");
    unsetenv("XDG_CONFIG_HOME");
}

TEST_F(RegCli, CorruptStoreFailsCleanly) {
    std::filesystem::create_directories(home() + "/.config/nessel");
    test::write_file(store(), "this is not a database, just text that fills a page or so");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"reg", "list", "Software\\T"}, {"reg", "get", "Software\\T", "v"},
             {"reg", "set", "Software\\T", "v", "x"}, {"reg", "delete", "Software\\T"}})
        EXPECT_EQ(nessel(args).status, 1) << args[1];
}

TEST_F(RegCli, ConcurrentWritersLoseNothing) {
    // Eight programs at once, each writing its own values into one key.
    std::vector<FILE*> pipes;
    for (int p = 0; p < 8; ++p) {
        std::string cmd;
        for (int i = 0; i < 10; ++i)
            cmd += std::string("'") + NESSEL_PROGRAM + "' reg set 'Software\\Shared' p" + std::to_string(p) +
                   "_" + std::to_string(i) + " " + std::to_string(i) + " --dword && ";
        cmd += "true";
        pipes.push_back(popen(cmd.c_str(), "r"));
    }
    for (FILE* p : pipes) EXPECT_EQ(pclose(p), 0);
    ProgramRun r = nessel({"reg", "list", "Software\\Shared"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 80);
}

}  // namespace
}  // namespace nessel
