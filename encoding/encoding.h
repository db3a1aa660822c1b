// SPDX-License-Identifier: MIT
// encoding/encoding.h: the registry of named encodings and codecs, and the
// UTF-16 string helpers shared by the converters.
//
// Every encoding and ACE codec is a pair of converters.  A converter takes its
// source as a view of the text before the terminator and REPLACES the content
// of dst with its output (no capacity is involved, so nothing can overflow).
// It returns nonzero for success and 0 for failure.  On failure dst holds what
// the converter leaves visible: the partial output for converters that end
// their output where they stopped, or nothing for those that empty it.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/ascii.h"
#include "base/units.h"

namespace nessel {

using ToUnicodeFn = int (*)(std::string_view src, std::u16string& dst);
using FromUnicodeFn = int (*)(std::u16string_view src, std::string& dst);

// The same conversions writing straight into memory that the caller provides:
// src holds the n bytes or units before the terminator (none of them zero),
// dst room for the whole result (for the legacy charsets the encoding's worst
// case: one unit per byte; one, two or, for "jis", six bytes per unit; for
// the other encodings whatever the exports' unbounded destination holds).
// They write no terminator and set written to the length of what a caller
// keeps: the whole result, or on failure what the view converter leaves.
using ToUnicodeRawFn = int (*)(const char* src, size_t n, char16_t* dst, size_t& written);
using FromUnicodeRawFn = int (*)(const char16_t* src, size_t n, char* dst, size_t& written);

struct EncodingEntry {
    std::string name;
    uint32_t enctype = 0;
    ToUnicodeFn to_unicode = nullptr;
    FromUnicodeFn from_unicode = nullptr;
    ToUnicodeRawFn to_unicode_raw = nullptr;  // nullptr: no raw form
    FromUnicodeRawFn from_unicode_raw = nullptr;
    // The raw forms keep within kCharsetUnitsPerByte / kCharsetBytesPerUnit
    // (register_charset); false for raw forms without such a bound.
    bool bounded_raw = false;
};

// What a raw converter of a legacy charset writes at most for n bytes or
// units: n * k + 1 elements, the room its view form gives it.
inline constexpr size_t kCharsetUnitsPerByte = 1;
inline constexpr size_t kCharsetBytesPerUnit = 6;

// Registers name with its pair; returns the enctype, or the existing enctype
// when the name is already registered (letter case ignored), or 0 when the
// name is empty or a converter is missing.
[[nodiscard]] uint32_t register_encoding(std::string_view name, ToUnicodeFn to,
                                         FromUnicodeFn from);
// register_encoding, and for a new entry also the raw pair: for a charset
// whose raw forms keep within the bounds above, for a codec without a bound
// (a numeric reference is eight bytes, a Tamil glyph byte four units).
[[nodiscard]] uint32_t register_charset(std::string_view name, ToUnicodeFn to, FromUnicodeFn from,
                                        ToUnicodeRawFn to_raw, FromUnicodeRawFn from_raw);
[[nodiscard]] uint32_t register_codec(std::string_view name, ToUnicodeFn to, FromUnicodeFn from,
                                      ToUnicodeRawFn to_raw, FromUnicodeRawFn from_raw);
// Lookups, safe on any thread without a lock; nullptr when absent.  An empty
// name finds nothing.  An entry found stays valid until the library is unloaded.
const EncodingEntry* find_encoding(std::string_view name);
inline const EncodingEntry* find_encoding_by_type(uint32_t enctype);
// enctype of name, 0 when not registered.
uint32_t encoding_type(std::string_view name);
// Empties the registry: lookups find nothing until registered again.  The
// entries stay in memory (a conversion on another thread may be using one)
// until release_encoding_storage, which only the unload may call.
void free_encodings();
void release_encoding_storage();
// Number of registered entries.
uint32_t encoding_count();
// Changes whenever an entry becomes visible or the registry is emptied: a
// lookup made at one generation gives the same answer until it changes.
uint64_t encoding_generation();

// The text before the first zero of s: what a reader of the zero-terminated
// string sees.  Every registered converter reads its source through this, so
// a zero that one step of a chain produces (an overlong C0 80 in UTF-8, a RACE
// unit 0x0000, "&#0;") ends the text for the next step.
inline std::string_view until_zero(std::string_view s) {
    return s.substr(0, s.find('\0'));
}
inline std::u16string_view until_zero(std::u16string_view s) {
    return s.substr(0, find_unit(s, 0));
}

// The one conversion behind every encoding export (convert_n of
// encoding/dispatch.h): encoding enctype on the n bytes or units of src
// (none of them zero), into dst of cap elements;
// kUnbounded stands for a destination the caller vouches is large enough
// for any result.  A raw converter writes straight into dst when dst is
// unbounded, or when the converter keeps within its charset bound and dst
// has that room; otherwise the view converter builds the result in a
// per-thread buffer (which keeps its memory from call to call) and it is
// copied when it fits.  len is the result's length: larger than cap when it
// did not fit, and then nothing was written.  Returns the converter's result
// (len 0 on failure), or kNotRegistered for an enctype not registered.
inline constexpr size_t kUnbounded = static_cast<size_t>(-1);
inline constexpr int kNotRegistered = -1;
// The same on zero-terminated text, with the terminator written after the
// result; a failure, an unknown enctype or a null src leave dst empty.
int encoding_to_unicode_into(uint32_t enctype, const char* src, char16_t* dst);
int unicode_to_encoding_into(uint32_t enctype, const char16_t* src, char* dst);

// The registry's entries live in a block of fixed capacity that never moves;
// a reader sees the entries below the block's count, which is published
// after an entry is complete (encoding/encoding.cpp writes them).  The
// lookup by enctype is in line: every conversion starts with it.
struct EncodingBlock {
    static constexpr uint32_t kCapacity = 256;
    EncodingEntry entries[kCapacity];
    std::atomic<uint32_t> count{0};
    uint32_t filled = 0;  // entries ever written (under the writer lock)
    EncodingBlock* retired = nullptr;
};
extern std::atomic<EncodingBlock*> g_encoding_block;

// The visible entries: the block, then its count.
struct EncodingView {
    const EncodingEntry* entries = nullptr;
    uint32_t count = 0;
};
inline EncodingView encoding_view() {
    const EncodingBlock* b = g_encoding_block.load(std::memory_order_acquire);
    if (b == nullptr) return {};
    return {b->entries, b->count.load(std::memory_order_acquire)};
}

inline const EncodingEntry* find_encoding_by_type(uint32_t enctype) {
    const EncodingView v = encoding_view();
    return enctype - 1 < v.count ? &v.entries[enctype - 1] : nullptr;  // enctype 0 wraps
}

// A view converter made from a raw one: dst sized for the worst case, then
// cut to what the raw converter reports.
template <ToUnicodeRawFn F>
int to_unicode_via_raw(std::string_view src, std::u16string& dst) {
    dst.resize(src.size() + 1);
    size_t written = 0;
    const int r = F(src.data(), src.size(), dst.data(), written);
    dst.resize(written);
    return r;
}
template <FromUnicodeRawFn F, size_t kBytesPerUnit>
int from_unicode_via_raw(std::u16string_view src, std::string& dst) {
    dst.resize(src.size() * kBytesPerUnit + 1);
    size_t written = 0;
    const int r = F(src.data(), src.size(), dst.data(), written);
    dst.resize(written);
    return r;
}

// The "ascii" and "none" converters.
int ascii_to_unicode(std::string_view src, std::u16string& dst);
int ascii_from_unicode(std::u16string_view src, std::string& dst);
int none_to_unicode(std::string_view src, std::u16string& dst);
int none_from_unicode(std::u16string_view src, std::string& dst);
int ascii_to_unicode_raw(const char* src, size_t n, char16_t* dst, size_t& written);
int ascii_from_unicode_raw(const char16_t* src, size_t n, char* dst, size_t& written);
int none_to_unicode_raw(const char* src, size_t n, char16_t* dst, size_t& written);
int none_from_unicode_raw(const char16_t* src, size_t n, char* dst, size_t& written);

// Each UTF-16 unit as its low byte (for text known to be ASCII).
std::string narrow(std::u16string_view s);

}  // namespace nessel
