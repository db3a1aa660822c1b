// SPDX-License-Identifier: MIT
// data/paged_table.h: the one shape of every unit -> value table that is
// indexed by the unit's high byte and then its low byte.
#pragma once

#include <cstdint>
#include <type_traits>

namespace nessel::data {

// page_of[u >> 8] names the page of 256 values that holds u's value at
// u & 0xFF.  Page 0 holds only zeros and stands for every high byte without
// a value, so a lookup is two reads and no branch; 0 means "no value".
template <typename Value, typename PageIndex = uint8_t>
struct PagedTable {
    const PageIndex* page_of;  // 256 entries
    const Value (*pages)[256];

    constexpr Value operator[](char16_t u) const {
        const unsigned page = page_of[u >> 8];
        if (std::is_constant_evaluated()) return pages[page][u & 0xFFu];
        // At run time one flat index into the pages, which lie one after
        // the other: a single address computation in 32 bits.
        const Value* values = pages[0];
        return values[page * 256u + (u & 0xFFu)];
    }
};

}  // namespace nessel::data
