// SPDX-License-Identifier: MIT
// tests/unit/charset_golden_test.cpp: the single-byte charsets and TCVN3's
// one-byte letters against their golden files (tests/golden/charmaps/, written
// by tools/gen/golden_charmaps.py from a second source with our deliberate
// differences as data): every listed byte decodes to its unit alone, and
// every unit marked "both" encodes to its byte alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "codecs/codecs.h"
#include "encoding/encoding.h"
#include "test_support.h"

namespace nessel {
namespace {

class CharsetGolden : public test::EncodingsTest {};

TEST_F(CharsetGolden, EveryListedByteBothWays) {
    const std::filesystem::path dir = std::filesystem::path(NESSEL_SOURCE_DIR) / "tests/golden/charmaps";
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().stem().string();
        SCOPED_TRACE(name);
        const uint32_t et = encoding_type(name);
        ASSERT_NE(et, 0u);
        std::ifstream in(entry.path());
        size_t rows = 0;
        for (std::string code, unit, kind; in >> code;) {
            if (code[0] == '#') {
                std::getline(in, code);
                continue;
            }
            in >> unit >> kind;
            const std::string bytes(1, static_cast<char>(std::stoul(code, nullptr, 16)));
            const std::u16string units(1, static_cast<char16_t>(std::stoul(unit, nullptr, 16)));
            std::u16string decoded;
            std::string encoded;
            EXPECT_TRUE(encoding_to_unicode(et, bytes, decoded) && decoded == units) << code;
            if (kind == "both") {
                EXPECT_TRUE(unicode_to_encoding(et, units, encoded) && encoded == bytes) << unit;
            }
            ++rows;
        }
        EXPECT_GT(rows, 100u);
        ++files;
    }
    EXPECT_EQ(files, 19u);
}

}  // namespace
}  // namespace nessel
