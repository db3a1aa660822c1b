// SPDX-License-Identifier: MIT
// tests/unit/store_batch_test.cpp: a zone table load running while another
// thread imports the configuration again and again sees the zones before
// or after an import, never the zone key half rewritten (which, with no
// file to fall back on, would fail the load).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "config/import.h"
#include "config/registry.h"
#include "config/zone_table.h"
#include "config_support.h"

namespace nessel {
namespace {

class StoreBatch : public test::ConfigTest {};

TEST_F(StoreBatch, LoadsNeverSeeAnImportHalfDone) {
    const std::string path = work() + "/zones.ini";
    test::write_file(path, test::make_ini("VERSION=1", test::zone_entries(6)));
    ASSERT_EQ(import_config_file(path), 1);
    ASSERT_EQ(reg_write_text(kTalvexClientKey, "InstallPath", ""), 0);  // no file search
    std::atomic<bool> stop{false};
    std::atomic<int> imports{0};
    std::thread importer([&] {
        // A pause after each import lets a load waiting for the store in.
        for (; !stop; ++imports) {
            (void)import_config_file(path);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    int loads = 0, failed = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    for (; std::chrono::steady_clock::now() < end; ++loads)
        if (load_zone_table() == 0) ++failed;
    stop = true;
    importer.join();
    EXPECT_EQ(failed, 0) << "of " << loads << " loads during " << imports << " imports";
    EXPECT_EQ(zone_count(), 6);
}

}  // namespace
}  // namespace nessel
