// SPDX-License-Identifier: MIT
// nameprep/checks.cpp: the character checks run on a normalized name.
// Prohibited ranges: the BMP part of the RFC 3491 prohibited output (stringprep
// C.1.2, C.2.2, C.3 to C.8, without U+2060) plus C.1.1, C.2.1 and U+3002.
// The four range tables are folded at compile time into one property byte
// per unit, so each check costs one table read per unit.
#include <array>
#include <utility>

#include "nameprep/nameprep.h"

namespace nessel {
namespace {

using Range = std::pair<char16_t, char16_t>;

constexpr Range kProhibitedRanges[] = {
    {0x0000, 0x0020}, {0x007F, 0x007F}, {0x0080, 0x009F}, {0x00A0, 0x00A0},
    {0x0340, 0x0341}, {0x06DD, 0x06DD}, {0x070F, 0x070F}, {0x1680, 0x1680},
    {0x180E, 0x180E}, {0x2000, 0x200F}, {0x2028, 0x2029}, {0x202A, 0x202F},
    {0x205F, 0x205F}, {0x2061, 0x2063}, {0x206A, 0x206F}, {0x2FF0, 0x2FFB},
    {0x3000, 0x3000}, {0x3002, 0x3002}, {0xD800, 0xDFFF}, {0xE000, 0xF8FF},
    {0xFDD0, 0xFDEF}, {0xFEFF, 0xFEFF}, {0xFFF9, 0xFFFF},
};

// Hyphen, digits, lowercase ASCII and the letter blocks of the scripts that
// names may use under kPrepCheckAllowed.
constexpr Range kAllowedRanges[] = {
    {0x002D, 0x002D}, {0x0030, 0x0039}, {0x0061, 0x007A}, {0x00C0, 0x00FF},
    {0x0100, 0x017F}, {0x0180, 0x0233}, {0x0386, 0x03F3}, {0x0400, 0x0481},
    {0x048C, 0x04F9}, {0x0531, 0x0556}, {0x0561, 0x0587}, {0x0591, 0x05F4},
    {0x060C, 0x06FE}, {0x0700, 0x074A}, {0x0780, 0x07B0}, {0x0901, 0x0970},
    {0x0981, 0x09FA}, {0x0A02, 0x0A74}, {0x0A81, 0x0AEF}, {0x0B01, 0x0B70},
    {0x0B82, 0x0BF2}, {0x0C01, 0x0C6F}, {0x0C82, 0x0CEF}, {0x0D02, 0x0D6F},
    {0x0D82, 0x0DF4}, {0x0E01, 0x0E5B}, {0x0E81, 0x0EDD}, {0x0F00, 0x0FCF},
    {0x1000, 0x1059}, {0x10A0, 0x10F6}, {0x1100, 0x11FF}, {0x1200, 0x137C},
    {0x13A0, 0x13F4}, {0x1401, 0x1676}, {0x1780, 0x17E9}, {0x1800, 0x18A9},
    {0x1F00, 0x1FBC}, {0x1FC2, 0x1FCC}, {0x1FD0, 0x1FDB}, {0x1FE0, 0x1FEC},
    {0x1FF2, 0x1FFC}, {0x3040, 0x309F}, {0x30A1, 0x30FF}, {0x3400, 0x9FFF},
    {0xAC00, 0xD7A3},
};

// Refused even inside the allowed ranges: multiplication and division signs,
// the click letters, Greek ano teleia.
constexpr char16_t kExcludedUnits[] = {0x00D7, 0x00F7, 0x01C0, 0x01C1, 0x01C2, 0x01C3, 0x0387};

// Units the label character check refuses: ASCII other than letters, digits
// and "-", the punctuation of Unicode 3.1 above U+007F, the division sign,
// and the Arabic tatweel, harakat, superscript alef and U+0671..U+067F.
// ".", "@" and "_" are exempted by flags in the walk.
constexpr Range kLabelRanges[] = {
    {0x0001, 0x002C}, {0x002E, 0x002F}, {0x003A, 0x0040}, {0x005B, 0x0060},
    {0x007B, 0x007F}, {0x00A1, 0x00A1}, {0x00AB, 0x00AB}, {0x00AD, 0x00AD},
    {0x00B7, 0x00B7}, {0x00BB, 0x00BB}, {0x00BF, 0x00BF}, {0x00F7, 0x00F7},
    {0x037E, 0x037E}, {0x0387, 0x0387}, {0x055A, 0x055F}, {0x0589, 0x058A},
    {0x05BE, 0x05BE}, {0x05C0, 0x05C0}, {0x05C3, 0x05C3}, {0x05F3, 0x05F4},
    {0x060C, 0x060C}, {0x061B, 0x061B}, {0x061F, 0x061F}, {0x0640, 0x0640},
    {0x064B, 0x0655}, {0x066A, 0x066D}, {0x0670, 0x067F}, {0x06D4, 0x06D4},
    {0x0700, 0x070D}, {0x0964, 0x0965}, {0x0970, 0x0970}, {0x0DF4, 0x0DF4},
    {0x0E4F, 0x0E4F}, {0x0E5A, 0x0E5B}, {0x0F04, 0x0F12}, {0x0F3A, 0x0F3D},
    {0x0F85, 0x0F85}, {0x104A, 0x104F}, {0x10FB, 0x10FB}, {0x1361, 0x1368},
    {0x166D, 0x166E}, {0x169B, 0x169C}, {0x16EB, 0x16ED}, {0x17D4, 0x17DA},
    {0x17DC, 0x17DC}, {0x1800, 0x180A}, {0x2010, 0x2027}, {0x2030, 0x2043},
    {0x2045, 0x2046}, {0x2048, 0x204D}, {0x207D, 0x207E}, {0x208D, 0x208E},
    {0x2329, 0x232A}, {0x3001, 0x3003}, {0x3008, 0x3011}, {0x3014, 0x301F},
    {0x3030, 0x3030}, {0x30FB, 0x30FB}, {0xFD3E, 0xFD3F}, {0xFE30, 0xFE44},
    {0xFE49, 0xFE52}, {0xFE54, 0xFE61}, {0xFE63, 0xFE63}, {0xFE68, 0xFE68},
    {0xFE6A, 0xFE6B}, {0xFF01, 0xFF0A}, {0xFF0C, 0xFF0F}, {0xFF1A, 0xFF1B},
    {0xFF1F, 0xFF20}, {0xFF3B, 0xFF3D}, {0xFF3F, 0xFF3F}, {0xFF5B, 0xFF5B},
    {0xFF5D, 0xFF5D}, {0xFF61, 0xFF65},
};

enum : uint8_t { kProhibited = 1, kLabelRefused = 2, kAllowed = 4, kExcluded = 8 };

constexpr std::array<uint8_t, 65536> make_properties() {
    std::array<uint8_t, 65536> p{};
    auto mark = [&p](const auto& ranges, uint8_t bit) {
        for (auto [lo, hi] : ranges)
            for (uint32_t c = lo; c <= hi; ++c) p[c] |= bit;
    };
    mark(kProhibitedRanges, kProhibited);
    mark(kAllowedRanges, kAllowed);
    mark(kLabelRanges, kLabelRefused);
    for (char16_t c : kExcludedUnits) p[c] |= kExcluded;
    return p;
}

constexpr std::array<uint8_t, 65536> kProperties = make_properties();

// "." and "@" under kPrepDelimiters, "_" under kPrepAllowUnderscore.
bool skipped(char16_t c, uint32_t flags) {
    if (c == u'.' || c == u'@') return (flags & kPrepDelimiters) != 0;
    if (c == u'_') return (flags & kPrepAllowUnderscore) != 0;
    return false;
}

}  // namespace

bool is_prohibited_unit(char16_t c) { return kProperties[c] & kProhibited; }
bool is_label_refused_unit(char16_t c) { return kProperties[c] & kLabelRefused; }
bool is_allowed_unit(char16_t c) { return kProperties[c] & kAllowed; }
bool is_excluded_unit(char16_t c) { return kProperties[c] & kExcluded; }

// The checks read the property first: the exemptions matter only for the
// few units it marks.
int check_prohibited(std::u16string_view name, uint32_t flags) {
    for (size_t i = 0; i < name.size(); ++i)
        if (is_prohibited_unit(name[i]) && !skipped(name[i], flags)) return static_cast<int>(i + 1);
    return 0;
}

int check_label_chars(std::u16string_view name, uint32_t flags) {
    for (char16_t c : name)
        if (is_label_refused_unit(c) && !skipped(c, flags)) return 0;
    return 1;
}

int check_prohibited_and_label_chars(std::u16string_view name, uint32_t flags) {
    // One walk gathers the properties of the units that are not exempt; a
    // prohibited unit anywhere outranks a refused label character.
    uint8_t seen = 0;
    for (char16_t c : name) {
        const uint8_t p = kProperties[c] & (kProhibited | kLabelRefused);
        if (p != 0 && !skipped(c, flags)) seen |= p;
    }
    if (seen & kProhibited) return 1;
    return (seen & kLabelRefused) ? 2 : 0;
}

int check_allowed(std::u16string_view name, uint32_t flags) {
    if (name.empty()) return -1;
    for (size_t i = 0; i < name.size(); ++i)
        if (!skipped(name[i], flags) && !is_allowed_unit(name[i])) return static_cast<int>(i + 1);
    return 0;
}

int check_excluded(std::u16string_view name) {
    if (name.empty()) return -1;
    for (size_t i = 0; i < name.size(); ++i)
        if (is_excluded_unit(name[i])) return static_cast<int>(i + 1);
    return 0;
}

}  // namespace nessel
