// SPDX-License-Identifier: MIT
// encoding/encoding.cpp: the encoding registry and the UTF-16 helpers.
// Entries live in registration order; an entry's enctype is its 1-based place.
#include "encoding/encoding.h"

#include <cstring>
#include <memory>
#include <vector>

#include "encoding/ascii_run.h"

#include "ace/enc_utf.h"
#include "encoding/charsets.h"

namespace nessel {
namespace {

// Heap-held so that the release at unload never meets a destroyed object.
std::vector<EncodingEntry>*& registry() {
    static std::vector<EncodingEntry>* entries = nullptr;
    return entries;
}

// The registered form of a converter: it reads its source up to the first
// zero, as the zero-terminated source of the C interface ends there.  Chains
// (AceToNative, NamePrep's decoding, "dutf8", the "x" variants) call the
// registered entries, so each step stops where a zero-terminated one would.
template <ToUnicodeFn F>
int to_unicode_until_zero(std::string_view src, std::u16string& dst) {
    return F(until_zero(src), dst);
}
template <FromUnicodeFn F>
int from_unicode_until_zero(std::u16string_view src, std::string& dst) {
    return F(until_zero(src), dst);
}

}  // namespace

bool ascii_iequal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    return true;
}

uint32_t register_encoding(std::string_view name, ToUnicodeFn to, FromUnicodeFn from) {
    if (name.empty() || to == nullptr || from == nullptr) return 0;
    auto*& entries = registry();
    if (entries == nullptr) entries = new std::vector<EncodingEntry>();
    for (const auto& e : *entries)
        if (ascii_iequal(e.name, name)) return e.enctype;
    EncodingEntry e;
    e.name = std::string(name);
    e.enctype = static_cast<uint32_t>(entries->size()) + 1;
    e.to_unicode = to;
    e.from_unicode = from;
    entries->push_back(std::move(e));
    return entries->back().enctype;
}

uint32_t register_charset(std::string_view name, ToUnicodeFn to, FromUnicodeFn from,
                          ToUnicodeRawFn to_raw, FromUnicodeRawFn from_raw) {
    const uint32_t before = encoding_count();
    const uint32_t enctype = register_encoding(name, to, from);
    if (enctype > before) {
        EncodingEntry& e = (*registry())[enctype - 1];
        e.to_unicode_raw = to_raw;
        e.from_unicode_raw = from_raw;
    }
    return enctype;
}

int register_all_encodings() {
#define ENCODING(name, to, from)                                                     \
    if (register_encoding(name, to_unicode_until_zero<to>, from_unicode_until_zero<from>) == 0) \
        return 0;
#define CHARSET(name, fn)                                                           \
    if (register_charset(name, to_unicode_until_zero<fn##_to_unicode>,             \
                         from_unicode_until_zero<fn##_from_unicode>, fn##_to_unicode_raw, \
                         fn##_from_unicode_raw) == 0)                               \
        return 0;
#include "encoding/encodings.def"
#undef CHARSET
#undef ENCODING
    return 1;
}

const EncodingEntry* find_encoding(std::string_view name) {
    const auto* entries = registry();
    if (entries == nullptr || name.empty()) return nullptr;
    for (const auto& e : *entries)
        if (ascii_iequal(e.name, name)) return &e;
    return nullptr;
}

const EncodingEntry* find_encoding_by_type(uint32_t enctype) {
    const auto* entries = registry();
    if (entries == nullptr || enctype == 0 || enctype > entries->size()) return nullptr;
    return &(*entries)[enctype - 1];
}

uint32_t encoding_type(std::string_view name) {
    const EncodingEntry* e = find_encoding(name);
    return e ? e->enctype : 0;
}

void free_encodings() {
    auto*& entries = registry();
    delete entries;
    entries = nullptr;
}

uint32_t encoding_count() {
    const auto* entries = registry();
    return entries ? static_cast<uint32_t>(entries->size()) : 0;
}

int encoding_to_unicode(uint32_t enctype, std::string_view src, std::u16string& dst) {
    dst.clear();
    const EncodingEntry* e = find_encoding_by_type(enctype);
    if (e == nullptr) return 0;
    int r = e->to_unicode(src, dst);
    if (r == 0) dst.clear();
    return r;
}

int unicode_to_encoding(uint32_t enctype, std::u16string_view src, std::string& dst) {
    dst.clear();
    const EncodingEntry* e = find_encoding_by_type(enctype);
    if (e == nullptr) return 0;
    int r = e->from_unicode(src, dst);
    if (r == 0) dst.clear();
    return r;
}

int encoding_to_unicode_into(uint32_t enctype, const char* src, char16_t* dst) {
    const EncodingEntry* e = src ? find_encoding_by_type(enctype) : nullptr;
    if (e == nullptr) {
        dst[0] = 0;
        return 0;
    }
    const size_t n = std::strlen(src);
    if (e->to_unicode_raw != nullptr) {
        size_t written = 0;
        const int r = e->to_unicode_raw(src, n, dst, written);
        dst[r ? written : 0] = 0;
        return r;
    }
    thread_local std::u16string scratch;
    const int r = e->to_unicode(std::string_view(src, n), scratch);
    const size_t len = r ? scratch.size() : 0;
    std::memcpy(dst, scratch.data(), len * sizeof(char16_t));
    dst[len] = 0;
    return r;
}

int unicode_to_encoding_into(uint32_t enctype, const char16_t* src, char* dst) {
    const EncodingEntry* e = src ? find_encoding_by_type(enctype) : nullptr;
    if (e == nullptr) {
        dst[0] = 0;
        return 0;
    }
    const size_t n = units_length(src);
    if (e->from_unicode_raw != nullptr) {
        size_t written = 0;
        const int r = e->from_unicode_raw(src, n, dst, written);
        dst[r ? written : 0] = 0;
        return r;
    }
    thread_local std::string scratch;
    const int r = e->from_unicode(std::u16string_view(src, n), scratch);
    const size_t len = r ? scratch.size() : 0;
    std::memcpy(dst, scratch.data(), len);
    dst[len] = 0;
    return r;
}

size_t wcs_length(const char16_t* s) {
    size_t n = 0;
    if (s != nullptr)
        while (s[n] != 0) ++n;
    return n;
}

char16_t* wcs_copy(char16_t* dst, const char16_t* src) {
    if (dst == nullptr || src == nullptr) return nullptr;
    size_t i = 0;
    do {
        dst[i] = src[i];
    } while (src[i++] != 0);
    return dst;
}

char16_t* wcs_append(char16_t* dst, const char16_t* src) {
    if (dst == nullptr || src == nullptr) return nullptr;
    wcs_copy(dst + wcs_length(dst), src);
    return dst;
}

char16_t* widen_copy(char16_t* dst, const char* src) {
    if (dst == nullptr || src == nullptr) return nullptr;
    size_t i = 0;
    for (; src[i] != 0; ++i) dst[i] = static_cast<unsigned char>(src[i]);
    dst[i] = 0;
    return dst;
}

char* narrow_copy(char* dst, const char16_t* src) {
    if (dst == nullptr || src == nullptr) return nullptr;
    size_t i = 0;
    for (; src[i] != 0; ++i) dst[i] = static_cast<char>(src[i] & 0xFF);
    dst[i] = 0;
    return dst;
}

std::u16string widen(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (char c : s) out.push_back(static_cast<unsigned char>(c));
    return out;
}

std::string narrow(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char16_t u : s) out.push_back(static_cast<char>(u & 0xFF));
    return out;
}

}  // namespace nessel
