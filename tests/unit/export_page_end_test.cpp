// SPDX-License-Identifier: MIT
// tests/unit/export_page_end_test.cpp: the encoding exports read nothing past
// the source's terminator: every registered encoding gets texts whose
// terminator is the last byte (unit) of a page followed by an inaccessible
// page, in every length around the 16-element steps of the ASCII fast path.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "ace/convert.h"
#include "api/lifecycle.h"
#include "codecs/codecs.h"
#include "nessel.h"
#include "test_support.h"

namespace nessel {
namespace {

class GuardedPage {
public:
    GuardedPage() : size_(static_cast<size_t>(sysconf(_SC_PAGESIZE))) {
        void* m = mmap(nullptr, 2 * size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (m == MAP_FAILED || mprotect(static_cast<char*>(m) + size_, size_, PROT_NONE) != 0)
            throw std::runtime_error("mmap");
        base_ = static_cast<char*>(m);
    }
    ~GuardedPage() { munmap(base_, 2 * size_); }
    GuardedPage(const GuardedPage&) = delete;
    GuardedPage& operator=(const GuardedPage&) = delete;
    // A copy of bytes whose last byte is the page's last byte.
    const char* at_end(const void* bytes, size_t n) {
        char* p = base_ + size_ - n;
        std::memcpy(p, bytes, n);
        return p;
    }

private:
    size_t size_;
    char* base_ = nullptr;
};

TEST(EncodingExports, ReadNothingPastTheTerminator) {
    ASSERT_EQ(init_once(), 1);
    reset_ace_settings();
    GuardedPage page;
    std::vector<nessel_unit> units_out(256);
    std::vector<char> bytes_out(2048);
    int checked = 0;
    for (uint32_t t = 1; t <= encoding_count(); ++t) {
        const std::string name = find_encoding_by_type(t)->name;
        if (name == "dude" || name == "dudex") continue;  // they print on decoding
        for (size_t len = 0; len <= 40; ++len) {
            for (const char16_t last : {u'z', u'\u00E9', u'\u65E5'}) {
                std::u16string text(len, u'a');
                for (size_t i = 0; i < len; ++i) text[i] = static_cast<char16_t>('a' + i % 26);
                if (len > 0) text.back() = last;
                SCOPED_TRACE(name + " " + test::show(text));
                // Units: the terminator is the page's last unit.
                std::string want;
                const int encoded = unicode_to_encoding(t, text, want);
                want.resize(until_zero(want).size());  // "none" writes zero bytes
                const char16_t* u = reinterpret_cast<const char16_t*>(
                    page.at_end(text.c_str(), (text.size() + 1) * sizeof(char16_t)));
                ASSERT_EQ(unicode2encoding(t, reinterpret_cast<const nessel_unit*>(u), bytes_out.data()),
                          encoded);
                EXPECT_EQ(test::show_bytes(bytes_out.data()), test::show_bytes(want));
                if (!encoded) continue;
                // Bytes: the terminator is the page's last byte.
                std::u16string back;
                const int decoded = encoding_to_unicode(t, want, back);
                const char* b = page.at_end(want.c_str(), want.size() + 1);
                ASSERT_EQ(encoding2unicode(t, b, units_out.data()), decoded);
                EXPECT_EQ(test::show(reinterpret_cast<const char16_t*>(units_out.data())), test::show(back));
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 3000);
}

}  // namespace
}  // namespace nessel
