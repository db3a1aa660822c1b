// SPDX-License-Identifier: MIT
// encoding/dispatch.h: the one conversion behind every encoding export, in
// line so that an export calls the converter with no layer between.
#ifndef NESSEL_ENCODING_DISPATCH_H
#define NESSEL_ENCODING_DISPATCH_H

#include <bit>
#include <cstddef>
#include <string>
#include <string_view>

#include "encoding/encoding.h"

namespace nessel {

// The two directions of a conversion, so that the dispatch is written once.
template <typename In>
struct Direction;
template <>
struct Direction<char> {  // bytes to UTF-16
    using Out = char16_t;
    static constexpr size_t kBound = kCharsetUnitsPerByte;
    static ToUnicodeRawFn raw(const EncodingEntry& e) { return e.to_unicode_raw; }
};
template <>
struct Direction<char16_t> {  // UTF-16 to bytes
    using Out = char;
    static constexpr size_t kBound = kCharsetBytesPerUnit;
    static FromUnicodeRawFn raw(const EncodingEntry& e) { return e.from_unicode_raw; }
};

// The view converter of e into a per-thread buffer, copied to dst when it
// fits (len is its length either way); the converter's result.
int convert_view_n(const EncodingEntry& e, const char* src, size_t n, char16_t* dst, size_t cap,
                   size_t& len);
int convert_view_n(const EncodingEntry& e, const char16_t* src, size_t n, char* dst, size_t cap,
                   size_t& len);

// The raw converter of e when it may write n source elements straight into
// a destination of cap elements, else nullptr (the view converter's case):
// a charset's converter when cap holds its bound for n (raw_into_bounded),
// and with kUnbounded (a caller that vouches for any result) any raw one.
template <typename In>
inline auto raw_into_bounded(const EncodingEntry& e, size_t n, size_t cap) {
    using D = Direction<In>;
    // n * k + 1 elements fit when n < cap / k.  The test divides by the
    // power of two at or above k, a shift instead of a division on every
    // call: it asks for a little more room than the bound where k is not
    // one (8 bytes a unit for 6), and a destination between the two takes
    // the view converter.
    constexpr size_t k = std::bit_ceil(D::kBound);
    return e.bounded_raw && n < cap / k ? D::raw(e) : nullptr;
}
template <typename In>
inline auto raw_into(const EncodingEntry& e, size_t n, size_t cap) {
    return cap == kUnbounded ? Direction<In>::raw(e) : raw_into_bounded<In>(e, n, cap);
}

// Encoding e on the n elements of src (none of them zero) into dst of cap
// elements, as described beside kUnbounded in encoding/encoding.h.
template <typename In, typename Out = typename Direction<In>::Out>
inline int convert_entry_n(const EncodingEntry& e, const In* src, size_t n, Out* dst, size_t cap,
                           size_t& len) {
    if (const auto raw = raw_into<In>(e, n, cap)) {
        const int r = raw(src, n, dst, len);
        if (r == 0) len = 0;
        return r;
    }
    return convert_view_n(e, src, n, dst, cap, len);
}

// The same for the encoding registered as enctype; kNotRegistered when
// there is none.
template <typename In, typename Out = typename Direction<In>::Out>
inline int convert_n(uint32_t enctype, const In* src, size_t n, Out* dst, size_t cap,
                     size_t& len) {
    len = 0;
    const EncodingEntry* e = find_encoding_by_type(enctype);
    if (e == nullptr) return kNotRegistered;
    return convert_entry_n(*e, src, n, dst, cap, len);
}

}  // namespace nessel

#endif  // NESSEL_ENCODING_DISPATCH_H
