// SPDX-License-Identifier: MIT
// Library lifecycle: version string, one-time initialisation, shutdown, and
// the unload of the shared library.
#include <gtest/gtest.h>

#include "api/lifecycle.h"
#include "encoding/encoding.h"
#include "nessel.h"
#include "test_support.h"

namespace nessel {
namespace {

TEST(Lifecycle, InitOnceRegistersOnceAndDeinitEmpties) {
    const char* v = GetVersion_Nessel();
    EXPECT_STREQ(v, "Nessel Version 4.0.31");
    EXPECT_EQ(GetVersion_Nessel(), v);  // the same static string every time
    EXPECT_FALSE(init_done());
    EXPECT_EQ(str2enctype("ascii"), 0u);
    ASSERT_EQ(init_once(), 1);
    EXPECT_TRUE(init_done());
    const uint32_t n = encoding_count();
    ASSERT_GT(n, 2u);
    ASSERT_EQ(init_once(), 1);
    EXPECT_EQ(encoding_count(), n);  // a second call registers nothing again
    // No zone table was loaded: DeinitSDK reports it, twice in a row too.
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(DeinitSDK(), 2001u);
        EXPECT_EQ(encoding_count(), 0u);
        EXPECT_EQ(str2enctype("ascii"), 0u);
        nessel_unit out[8] = {1, 1};
        EXPECT_EQ(encoding2unicode(1, "a", out), 0);
        EXPECT_EQ(out[0], 0);
    }
    EXPECT_TRUE(init_done());  // the flag is never cleared
    // Initialising again restores the registry with the same enctypes.
    ASSERT_EQ(init_once(), 1);
    EXPECT_EQ(encoding_count(), n);
    EXPECT_EQ(str2enctype("ascii"), 1u);
    EXPECT_EQ(str2enctype("none"), 2u);
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

}  // namespace
}  // namespace nessel
