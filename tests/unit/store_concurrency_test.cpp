// SPDX-License-Identifier: MIT
// tests/unit/store_concurrency_test.cpp: several processes importing,
// updating and loading on one registry store at once.  Each load must see one
// whole configuration, never a mix.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "api/lifecycle.h"
#include "config/import.h"
#include "config/zone_table.h"
#include "config_support.h"

namespace nessel {
namespace {

class StoreConcurrency : public test::ConfigTest {};

// 0 when the loaded table is wholly configuration "a" (10 zones) or wholly
// "b" (13 zones), else a code naming what was wrong.
int check_table() {
    if (zone_count() != 10 && zone_count() != 13) return 10;
    const char* tag = zone_count() == 10 ? "a" : "b";
    for (int i = 0; i < zone_count(); ++i) {
        if (std::strcmp(test::zone(i).append_tail, tag) != 0) return 11;
        if (std::strcmp(test::zone(i).zone, (".z" + std::to_string(i + 1)).c_str()) != 0) return 12;
    }
    return 0;
}

TEST_F(StoreConcurrency, ImportsUpdatesAndLoadsStayConsistent) {
    const std::string file_a = work() + "/a.ini";
    test::write_file(file_a, test::make_ini("VERSION=1", test::zone_entries(10, "a")));
    const std::string served = test::make_ini("VERSION=2", test::zone_entries(13, "b"));
    test::HttpServer server([&](const test::HttpRequest&) { return test::HttpReply{200, served}; });
    ASSERT_EQ(reg_write_text(kTalvexClientKey, "UpdateServerURL", server.url()), 0);
    ASSERT_EQ(import_config_file(file_a), 1);
    ASSERT_EQ(reg_write_text(kTalvexClientKey, "InstallPath", work()), 0);

    constexpr int kProcesses = 4;
    constexpr int kRounds = 12;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int code = 0;
            for (int round = 0; round < kRounds && code == 0; ++round) {
                if (p % 2 == 0) {
                    if (update_registry() != 1) code = 20;
                } else {
                    (void)import_config_file(file_a);
                    if (load_zone_table() != 1) code = 21;
                }
                if (code == 0) code = check_table();
                if (code == 0 && init_sdk() != 0) code = 22;
                if (code == 0) code = check_table();
            }
            _exit(code);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "child " << pid;
    }
    ASSERT_EQ(load_zone_table(), 1);
    EXPECT_EQ(check_table(), 0);
    EXPECT_EQ(static_cast<int>(zone_names().size()), zone_count());
    // Every forced update asked the server; so did the first InitSDK of a
    // process that found no update time yet.
    EXPECT_GE(static_cast<int>(server.requests().size()), kProcesses / 2 * kRounds);
}

}  // namespace
}  // namespace nessel
