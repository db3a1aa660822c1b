// SPDX-License-Identifier: MIT
// domain/scratch.h: per-thread buffers of the name conversions, kept between
// calls and sized once by the library's limits, so that converting a name
// allocates nothing.
#pragma once

#include <cstddef>
#include <string>

namespace nessel {

// A string with room reserved for kUnits units and the terminator.
template <typename Char, size_t kUnits>
struct ReservedString : std::basic_string<Char> {
    ReservedString() { this->reserve(kUnits + 1); }
};

// This thread's instance of Scratch, made on the thread's first call;
// inlined into each caller, as a plain thread_local there would be.
template <typename Scratch>
[[gnu::always_inline]] inline Scratch& thread_scratch() {
    thread_local Scratch s;
    return s;
}

}  // namespace nessel
