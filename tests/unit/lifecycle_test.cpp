// Library lifecycle: version string, one-time initialisation, shutdown.
#include <gtest/gtest.h>

#include <cstring>

#include "api/lifecycle.h"
#include "encoding/encoding.h"
#include "nessel.h"

namespace nessel {
namespace {

TEST(Lifecycle, VersionStringIsConstant) {
    const char* v = GetVersion_Nessel();
    EXPECT_STREQ(v, "Nessel Version 4.0.31");
    EXPECT_EQ(GetVersion_Nessel(), v);  // the same static string every time
}

TEST(Lifecycle, InitOnceRegistersOnceAndDeinitEmpties) {
    EXPECT_FALSE(init_done());
    EXPECT_EQ(str2enctype("ascii"), 0u);
    ASSERT_EQ(init_once(), 1);
    EXPECT_TRUE(init_done());
    const uint32_t n = encoding_count();
    ASSERT_GT(n, 2u);
    ASSERT_EQ(init_once(), 1);
    EXPECT_EQ(encoding_count(), n);  // a second call registers nothing again

    // No zone table was loaded: DeinitSDK reports it, twice in a row too.
    EXPECT_EQ(DeinitSDK(), 2001u);
    EXPECT_EQ(encoding_count(), 0u);
    EXPECT_EQ(str2enctype("ascii"), 0u);
    nessel_unit out[8] = {1, 1};
    EXPECT_EQ(encoding2unicode(1, "a", out), 0);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(DeinitSDK(), 2001u);
    EXPECT_TRUE(init_done());  // the flag is never cleared

    // Initialising again restores the registry with the same enctypes.
    ASSERT_EQ(init_once(), 1);
    EXPECT_EQ(encoding_count(), n);
    EXPECT_EQ(str2enctype("ascii"), 1u);
    EXPECT_EQ(str2enctype("none"), 2u);
}

}  // namespace
}  // namespace nessel
