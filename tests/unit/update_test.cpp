// SPDX-License-Identifier: MIT
// tests/unit/update_test.cpp: the update interval and the online update
// against a real HTTP server on 127.0.0.1, through the update functions and
// through InitSDK / UpdateRegistry.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <ctime>
#include <filesystem>

#include "api/lifecycle.h"
#include "config/platform.h"
#include "config/update.h"
#include "config/zone_table.h"
#include "config_support.h"

namespace nessel {
namespace {

using test::HttpReply;
using test::HttpRequest;
using test::HttpServer;

class UpdateDue : public test::ConfigTest {};

TEST_F(UpdateDue, Boundaries) {
    EXPECT_EQ(update_due(), 1);  // no LastUpdateTime
    const int32_t t = 1700000000;
    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "LastUpdateTime", static_cast<uint32_t>(t)), 0);
    struct Case {
        int64_t offset;
        int due;
    } cases[] = {
        {0, 0},           {259199, 0}, {259200, 1}, {259201, 1},
        {-259199, 0},     {-259200, 1}, {-259201, 1}, {100, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(update_due_at(static_cast<int32_t>(t + c.offset)), c.due) << c.offset;
    // Stamps near the ends of the 32-bit range do not overflow the bounds.
    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "LastUpdateTime", 0x7FFFFFF0u), 0);
    EXPECT_EQ(update_due_at(0x7FFFFFF0), 0);
    EXPECT_EQ(update_due_at(0x7FFFFFF0 - 259200), 1);
    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "LastUpdateTime", 0x80000010u), 0);
    EXPECT_EQ(update_due_at(INT32_MIN + 0x10), 0);
    EXPECT_EQ(update_due_at(INT32_MIN + 0x10 + 259200), 1);
    // The real clock: a fresh stamp is not due.
    stamp_update_time();
    EXPECT_EQ(update_due(), 0);
    uint32_t stamped = client_dword("LastUpdateTime");
    EXPECT_LE(std::llabs(static_cast<long long>(stamped) - std::time(nullptr)), 2);
}

class Update : public test::ConfigTest {
protected:
    void SetUp() override {
        test::ConfigTest::SetUp();
        served = test::make_ini("VERSION=5", test::zone_entries(7, "served"));
        // Long enough that the first block is only a part of it.
        ASSERT_GT(served.size(), 600u);
    }
    void point_at(const std::string& url) {
        ASSERT_EQ(reg_write_text(kTalvexClientKey, "UpdateServerURL", url), 0);
    }
    std::string temp_copy() const { return download_copy(); }
    std::string served;
};

TEST_F(Update, ServedFileIsImportedAndRequestIsAsSpecified) {
    HttpServer server([&](const HttpRequest&) { return HttpReply{200, served}; });
    point_at(server.url());
    EXPECT_EQ(fetch_config_update(0), 1);
    EXPECT_EQ(zone_names().size(), 7u);
    EXPECT_EQ(client_dword("LastUpdateVersion"), 5u);
    EXPECT_EQ(client_text("RegFileURL"), "pellow.ini");  // default written back
    EXPECT_EQ(test::read_file(temp_copy()), served);     // the copy stays
    auto reqs = server.requests();
    ASSERT_EQ(reqs.size(), 1u);
    EXPECT_EQ(reqs[0].path, "/pellow.ini");
    EXPECT_EQ(reqs[0].user_agent, "Pellow Agent");
#ifndef _WIN32
    // The temporary directory is private.
    struct stat st {};
    ASSERT_EQ(lstat((tmp() + "/nessel-" + std::to_string(geteuid())).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
#endif
}

TEST_F(Update, RegFileUrlChoosesThePath) {
    HttpServer server([&](const HttpRequest& r) {
        return r.path == "/conf/other.ini" ? HttpReply{200, served} : HttpReply{404, "<html>no</html>"};
    });
    point_at(server.url());
    ASSERT_EQ(reg_write_text(kTalvexClientKey, "RegFileURL", "conf/other.ini"), 0);
    EXPECT_EQ(fetch_config_update(1), 1);
    EXPECT_EQ(client_dword("LastUpdateVersion"), 5u);
    EXPECT_TRUE(std::filesystem::exists(temp_copy()));  // always "pellow.ini" locally
}

TEST_F(Update, SameVersionUnforcedReadsOneBlockOnly) {
    HttpServer server([&](const HttpRequest&) { return HttpReply{200, served}; });
    point_at(server.url());
    set_zones({{".keep", "x"}});
    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "LastUpdateVersion", 5), 0);
    EXPECT_EQ(fetch_config_update(0), 1);
    EXPECT_EQ(zone_names(), std::vector<std::string>{".keep"});  // nothing imported
    EXPECT_EQ(test::read_file(temp_copy()), served.substr(0, 256));

    // Forced: the whole file is fetched and imported.
    EXPECT_EQ(fetch_config_update(1), 1);
    EXPECT_EQ(zone_names().size(), 7u);
    EXPECT_EQ(test::read_file(temp_copy()), served);
}

TEST_F(Update, LowerVersionIsImported) {
    HttpServer server([&](const HttpRequest&) { return HttpReply{200, served}; });
    point_at(server.url());
    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "LastUpdateVersion", 9), 0);
    EXPECT_EQ(fetch_config_update(0), 1);
    EXPECT_EQ(client_dword("LastUpdateVersion"), 5u);
    EXPECT_EQ(zone_names().size(), 7u);
}

TEST_F(Update, VersionNotAtTheBeginning) {
    // "VERSION=" within the first block but not first: fetched whole and
    // imported, even unforced with that number stored; the import records 0.
    const std::string body = "; comment\r\n" + served;
    HttpServer server([&](const HttpRequest&) { return HttpReply{200, body}; });
    point_at(server.url());
    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "LastUpdateVersion", 5), 0);
    EXPECT_EQ(fetch_config_update(0), 1);
    EXPECT_EQ(zone_names().size(), 7u);
    EXPECT_EQ(client_dword("LastUpdateVersion"), 0u);
    EXPECT_EQ(test::read_file(temp_copy()), body);
}

TEST_F(Update, HtmlErrorPageChangesNothing) {
    const std::string page = "<html><head><title>404 Not Found</title></head><body>" + std::string(600, '.') +
                             "</body></html>";
    HttpServer server([&](const HttpRequest&) { return HttpReply{404, page}; });
    point_at(server.url());
    set_zones({{".keep", "x"}});
    EXPECT_EQ(fetch_config_update(1), 1);
    EXPECT_EQ(zone_names(), std::vector<std::string>{".keep"});
    EXPECT_EQ(client_dword("LastUpdateVersion"), 0xDEADBEEFu);
    EXPECT_EQ(test::read_file(temp_copy()), page.substr(0, 256));  // stopped after the first block
}

TEST_F(Update, NoConnection) {
    set_zones({{".keep", "x"}});
    // The built-in server (a reserved name, never looked up) and a refused port.
    for (const std::string& url : {std::string(), "http://127.0.0.1:" + std::to_string(test::closed_port())}) {
        if (!url.empty()) point_at(url);
        EXPECT_EQ(fetch_config_update(0), 1) << url;
        EXPECT_EQ(fetch_config_update(1), 0) << url;
    }
    EXPECT_EQ(zone_names(), std::vector<std::string>{".keep"});
    EXPECT_FALSE(std::filesystem::exists(temp_copy()));
}

TEST_F(Update, UrlLongerThanItsBufferIsRefused) {
    HttpServer server([&](const HttpRequest&) { return HttpReply{200, served}; });
    point_at(server.url());
    const std::string base = server.url() + "/";
    ASSERT_EQ(reg_write_text(kTalvexClientKey, "RegFileURL", std::string(259 - base.size(), 'a')), 0);
    EXPECT_EQ(fetch_config_update(1), 1);  // 259 characters: fetched (a 404 page here)
    ASSERT_EQ(reg_write_text(kTalvexClientKey, "RegFileURL", std::string(260 - base.size(), 'a')), 0);
    EXPECT_EQ(fetch_config_update(1), 0);
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(Update, UnsafeTemporaryPlacesAreRefused) {
#ifdef _WIN32
    // A directory in the copy's place is never written into; links and
    // owners of the temporary directory are left to the system here.
    HttpServer server([&](const HttpRequest&) { return HttpReply{200, served}; });
    point_at(server.url());
    std::filesystem::create_directories(temp_copy());
    EXPECT_EQ(fetch_config_update(0), 0);
    EXPECT_EQ(fetch_config_update(1), 0);
    EXPECT_TRUE(std::filesystem::is_empty(temp_copy()));
    std::filesystem::remove(temp_copy());
    EXPECT_EQ(fetch_config_update(1), 1);
    EXPECT_EQ(zone_names().size(), 7u);
#else
    HttpServer server([&](const HttpRequest&) { return HttpReply{200, served}; });
    point_at(server.url());
    const std::string dir = tmp() + "/nessel-" + std::to_string(geteuid());
    // The copy's name taken by a symbolic link: refused in both modes, and
    // the link's target is never written.
    std::filesystem::create_directories(dir);
    test::write_file(tmp() + "/target", "untouched");
    std::filesystem::create_symlink(tmp() + "/target", temp_copy());
    EXPECT_EQ(fetch_config_update(0), 0);
    EXPECT_EQ(fetch_config_update(1), 0);
    EXPECT_EQ(test::read_file(tmp() + "/target"), "untouched");
    // The directory itself a symbolic link.
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(tmp() + "/elsewhere");
    std::filesystem::create_directory_symlink(tmp() + "/elsewhere", dir);
    EXPECT_EQ(fetch_config_update(1), 0);
    EXPECT_TRUE(std::filesystem::is_empty(tmp() + "/elsewhere"));
    std::filesystem::remove(dir);
    // Owned by another user (only root can arrange that).
    if (geteuid() == 0) {
        std::filesystem::create_directories(dir);
        ASSERT_EQ(chown(dir.c_str(), 12345, 12345), 0);
        EXPECT_EQ(fetch_config_update(1), 0);
        ASSERT_EQ(chown(dir.c_str(), 0, 0), 0);
        test::write_file(temp_copy(), "theirs");
        ASSERT_EQ(chown(temp_copy().c_str(), 12345, 12345), 0);
        EXPECT_EQ(fetch_config_update(1), 0);
        EXPECT_EQ(test::read_file(temp_copy()), "theirs");
        std::filesystem::remove(temp_copy());
    }
    EXPECT_EQ(fetch_config_update(1), 1);  // a safe place again
    EXPECT_EQ(zone_names().size(), 7u);
#endif
}

TEST_F(Update, OversizedBodyIsNotImported) {
    // The bound is a parameter: 4 KiB here stands for the library's 1 MiB.
    const platform::TransferBounds bounds{10000, 60000, 4096};
    std::string big = served + std::string(4096 + 1000 - served.size(), '\n');
    for (bool with_length : {true, false}) {
        HttpServer server([&](const HttpRequest&) { return HttpReply{200, big, with_length}; });
        point_at(server.url());
        set_zones({{".keep", "x"}});
        EXPECT_EQ(fetch_config_update(0, bounds), 1);
        EXPECT_EQ(fetch_config_update(1, bounds), 0);
        EXPECT_EQ(zone_names(), std::vector<std::string>{".keep"}) << with_length;
    }
    // Exactly the bound is within it.
    big.resize(4096);
    HttpServer server([&](const HttpRequest&) { return HttpReply{200, big, false}; });
    point_at(server.url());
    EXPECT_EQ(fetch_config_update(1, bounds), 1);
    EXPECT_EQ(zone_names().size(), 7u);
}

TEST_F(Update, StalledServerIsCutOffByTheTransferBound) {
    if (test::running_under_wine())
        GTEST_SKIP() << "Wine's InternetReadFile waits for the server whatever receive timeout is set";
    // The server sends a part of the file, then holds the connection open
    // longer than the bound of a whole transfer (here 400 ms, for the
    // library's 60 s).
    const std::string part = served.substr(0, 600);
    HttpServer server([&](const HttpRequest&) {
        HttpReply r{200, part, false};
        r.stall_after_ms = 3000;
        return r;
    });
    point_at(server.url());
    set_zones({{".keep", "x"}});
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(fetch_config_update(1, platform::TransferBounds{10000, 400, 1 << 20}), 0);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(ms, 390);
    EXPECT_LE(ms, 2500);
    EXPECT_EQ(zone_names(), std::vector<std::string>{".keep"});
}

class Lifecycle : public test::ConfigTest {};

TEST_F(Lifecycle, InitSdkLoadsPellowIniFromWorkingDirectory) {
    test::write_file(work() + "/pellow.ini", test::make_ini("VERSION=3", test::zone_entries(8)));
    EXPECT_EQ(init_sdk(), 0u);
    ASSERT_EQ(zone_count(), 8);
    EXPECT_STREQ(test::zone(7).zone, ".z8");
    // The unforced update ran against the built-in server (refused at once)
    // and stamped the time, so the next one waits three days.
    EXPECT_NE(client_dword("LastUpdateTime"), 0xDEADBEEFu);
    EXPECT_EQ(update_due(), 0);
    EXPECT_EQ(deinit_sdk(), 0u);
    EXPECT_EQ(deinit_sdk(), 2001u);
}

TEST_F(Lifecycle, InitSdkWithoutZonesFails) {
    EXPECT_EQ(init_sdk(), 1001u);
    EXPECT_EQ(deinit_sdk(), 2001u);
}

TEST_F(Lifecycle, InitSdkUpdatesWhenDue) {
    std::string served = test::make_ini("VERSION=6", test::zone_entries(9));
    HttpServer server([&](const HttpRequest&) { return HttpReply{200, served}; });
    ASSERT_EQ(reg_write_text(kTalvexClientKey, "UpdateServerURL", server.url()), 0);
    stamp_update_time();
    test::write_file(work() + "/pellow.ini", test::make_ini("VERSION=3", test::zone_entries(8)));
    EXPECT_EQ(init_sdk(), 0u);
    EXPECT_EQ(zone_count(), 8);  // not due: the local file
    EXPECT_TRUE(server.requests().empty());
    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "LastUpdateTime", 1000), 0);
    EXPECT_EQ(init_sdk(), 0u);
    EXPECT_EQ(zone_count(), 9);  // due: the served file
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(Lifecycle, UpdateRegistryImportsServedFile) {
    test::write_file(work() + "/pellow.ini", test::make_ini("VERSION=3", test::zone_entries(6)));
    ASSERT_EQ(reg_write_text(kTalvexClientKey, "UpdateServerURL",
                             "http://127.0.0.1:" + std::to_string(test::closed_port())),
              0);
    ASSERT_EQ(init_sdk(), 0u);
    ASSERT_EQ(zone_count(), 6);
    // No connection: failure, zone table and update time as they were.
    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "LastUpdateTime", 1234), 0);
    EXPECT_EQ(update_registry(), 0);
    EXPECT_EQ(client_dword("LastUpdateTime"), 1234u);
    EXPECT_EQ(zone_count(), 6);

    std::string served = test::make_ini("VERSION=3", test::zone_entries(10, "new"));
    HttpServer server([&](const HttpRequest&) { return HttpReply{200, served}; });
    ASSERT_EQ(reg_write_text(kTalvexClientKey, "UpdateServerURL", server.url()), 0);
    EXPECT_EQ(update_registry(), 1);  // same version, but forced
    ASSERT_EQ(zone_count(), 10);
    EXPECT_STREQ(test::zone(9).append_tail, "new");
    EXPECT_NE(client_dword("LastUpdateTime"), 1234u);
}

}  // namespace
}  // namespace nessel
