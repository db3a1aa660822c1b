// SPDX-License-Identifier: MIT
// The nessel program as a subprocess: the runs of
// tests/vectors/program/runs.tsv (command line, text and codec commands,
// batches, "reg" on a private store, the shipped configuration), where the
// store lies, a corrupt store, and concurrent writers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <map>
#include <thread>

#include "config/registry.h"
#include "config_support.h"
#include "program_runner.h"

namespace nessel {
namespace {

using test::unescape;

// Every "~"-separated text of the pattern appears in the text.
void expect_contains(const std::string& text, const std::string& pattern) {
    for (size_t pos = 0; pos <= pattern.size();) {
        const size_t end = std::min(pattern.find('~', pos), pattern.size());
        const std::string part = unescape(pattern.substr(pos, end - pos));
        EXPECT_NE(text.find(part), std::string::npos) << "missing '" << part << "' in:\n" << text;
        pos = end + 1;
    }
}

// A listing ("name\ttype\tdata" lines, written in creation order) in the
// order the store enumerates the values.
std::string as_enumerated(const std::string& listing) {
    std::map<std::string, std::string> line_of;
    std::vector<std::string> names;
    size_t start = 0;
    for (size_t nl; (nl = listing.find('\n', start)) != std::string::npos; start = nl + 1) {
        const std::string line = listing.substr(start, nl + 1 - start);
        names.push_back(line.substr(0, line.find('\t')));
        line_of[names.back()] = line;
    }
    std::string out;
    for (const auto& name : test::in_enumeration_order(names)) out += line_of[name];
    return out + listing.substr(start);
}

// Each group runs in a test of its own, with a fresh store.
class Programs : public test::ConfigTest {
protected:
    void run_group(const std::string& group) {
        const std::string closed = "http://127.0.0.1:" + std::to_string(test::closed_port());
        int runs = 0;
        for (const auto& row : test::read_rows("program/runs.tsv", 5)) {
            if (row[0] != group) continue;
            SCOPED_TRACE(row.where);
            ++runs;
            std::vector<std::string> args(row.f.begin() + 5, row.f.end()), env;
            for (auto& a : args) {
                if (a == "${CLOSED_URL}") a = closed;
                for (auto [name, dir] : {std::pair{"${HOME}", home()}, {"${TMP}", tmp()}})
                    if (const size_t at = a.find(name); at != std::string::npos) a.replace(at, std::strlen(name), dir);
            }
            for (; !args.empty() && std::isupper(static_cast<unsigned char>(args[0][0])) && args[0].find('=') != std::string::npos;
                 args.erase(args.begin()))
                env.push_back(args[0]);
            const test::RunResult r = test::run_program(args, unescape(row[2]), env);
            EXPECT_EQ(r.status, std::stoi(row[1])) << r.err;
            const std::string& out = row[3];
            if (out.starts_with("~")) {
                expect_contains(r.out, out.substr(1));
            } else if (out != "*") {
                const bool listing = args.size() > 1 && args[0] == "reg" && args[1] == "list";
                EXPECT_EQ(r.out, listing ? as_enumerated(unescape(out)) : unescape(out));
            }
            if (!row[4].empty()) expect_contains(r.err, row[4]);
        }
        EXPECT_GT(runs, 5);
    }
};

TEST_F(Programs, CommandLineAndTextCommands) { run_group("cli"); }
TEST_F(Programs, RegistryCommands) { run_group("reg"); }
TEST_F(Programs, ShippedConfiguration) { run_group("default"); }

TEST_F(Programs, StoreLocationFollowsEnvironment) {
    // What the library reads is what the program wrote.
    ASSERT_EQ(test::run_program({"reg", "set", std::string(kDnsfKey), "n", "-2147483648", "--dword"}).status, 0);
    uint32_t n = 0;
    ASSERT_EQ(reg_read_dword(kDnsfKey, "n", n), 0);
    EXPECT_EQ(n, 0x80000000u);
#ifdef _WIN32
    GTEST_SKIP() << "the store is the system registry here, not a file of the user's";
#endif
    run_group("store");
    // A store that is not a database: every command fails cleanly.
    test::write_file(store(), "this is not a database, just text that fills a page or so");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"reg", "list", "Software\\T"}, {"reg", "get", "Software\\T", "v"},
             {"reg", "set", "Software\\T", "v", "x"}, {"reg", "delete", "Software\\T"}})
        EXPECT_EQ(test::run_program(args).status, 1) << args[1];
}

TEST_F(Programs, ConcurrentWritersLoseNothing) {
    // Eight writers at once, each running the program ten times to write its
    // own values into one key.
    std::vector<std::thread> writers;
    std::vector<std::string> failures(8);
    const std::string key = "SOFTWARE\\Talvex international inc.\\Shared";
    for (int p = 0; p < 8; ++p)
        writers.emplace_back([p, &key, &failures] {
            for (int i = 0; i < 10; ++i) {
                std::string name(1, 'p');  // appended: g++ 12 -O3 warns falsely on "p" + string
                name.append(std::to_string(p)).append(1, '_').append(std::to_string(i));
                test::RunResult r = test::run_program({"reg", "set", key, name, std::to_string(i), "--dword"});
                if (r.status != 0) failures[p] += name + ": " + std::to_string(r.status) + " " + r.err + "\n";
            }
        });
    for (auto& w : writers) w.join();
    EXPECT_EQ(failures, std::vector<std::string>(8));
    test::RunResult r = test::run_program({"reg", "list", key});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 80);
}

}  // namespace
}  // namespace nessel
