// SPDX-License-Identifier: MIT
// encoding/encoding.cpp: the encoding registry and the UTF-16 helpers.
// Entries live in registration order; an entry's enctype is its 1-based place.
#include "encoding/encoding.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <new>

#include "encoding/ascii_run.h"
#include "encoding/dispatch.h"

namespace nessel {

constinit std::atomic<EncodingBlock*> g_encoding_block{nullptr};

namespace {

// The registry is written while InitSDK runs and read by every conversion on
// any thread without a lock (the block is in encoding.h).  Emptying the
// registry (DeinitSDK) sets the count to 0 but keeps the entries, because
// another thread may be converting with one of them; registering the same
// entries again reuses them.  Blocks are freed only when the library is
// unloaded.
using Block = EncodingBlock;
constexpr uint32_t kCapacity = Block::kCapacity;

struct Registry {
    std::mutex writer;  // serialises registrations and releases
    std::atomic<uint64_t> generation{1};  // advanced after every change of the visible entries
};

// Constant-initialised and trivially destroyed: usable at any time, the
// unload included.
Registry g_registry;
Registry& registry() { return g_registry; }

}  // namespace

namespace {

// Adds an entry (complete, raw pair included, before readers can see it) or
// gives the enctype of the one registered under name.
uint32_t register_entry(std::string_view name, ToUnicodeFn to, FromUnicodeFn from,
                        ToUnicodeRawFn to_raw, FromUnicodeRawFn from_raw, bool bounded_raw) {
    if (name.empty() || to == nullptr || from == nullptr) return 0;
    Registry& reg = registry();
    std::lock_guard<std::mutex> lock(reg.writer);
    Block* b = g_encoding_block.load(std::memory_order_relaxed);
    const uint32_t n = b ? b->count.load(std::memory_order_relaxed) : 0;
    for (uint32_t i = 0; i < n; ++i)
        if (ascii_iequal(b->entries[i].name, name)) return b->entries[i].enctype;
    if (b != nullptr && n < b->filled) {
        // Registering again after a release: the entry in place is reused
        // when it is the same one; another one needs a fresh block, since a
        // reader may still hold the old entry.
        const EncodingEntry& e = b->entries[n];
        if (e.name == name && e.to_unicode == to && e.from_unicode == from &&
            e.to_unicode_raw == to_raw && e.from_unicode_raw == from_raw &&
            e.bounded_raw == bounded_raw) {
            b->count.store(n + 1, std::memory_order_release);
            reg.generation.fetch_add(1, std::memory_order_release);
            return n + 1;
        }
    }
    if (b == nullptr || n < b->filled || n == kCapacity) {
        if (b != nullptr && n == kCapacity) return 0;
        auto* fresh = new (std::nothrow) Block;
        if (fresh == nullptr) return 0;
        for (uint32_t i = 0; i < n; ++i) fresh->entries[i] = b->entries[i];
        fresh->filled = n;
        fresh->count.store(n, std::memory_order_relaxed);
        fresh->retired = b;
        g_encoding_block.store(fresh, std::memory_order_release);
        b = fresh;
    }
    EncodingEntry& e = b->entries[n];
    e.name = std::string(name);
    e.enctype = n + 1;
    e.to_unicode = to;
    e.from_unicode = from;
    e.to_unicode_raw = to_raw;
    e.from_unicode_raw = from_raw;
    e.bounded_raw = bounded_raw;
    b->filled = n + 1;
    b->count.store(n + 1, std::memory_order_release);
    reg.generation.fetch_add(1, std::memory_order_release);
    return n + 1;
}

}  // namespace

uint32_t register_encoding(std::string_view name, ToUnicodeFn to, FromUnicodeFn from) {
    return register_entry(name, to, from, nullptr, nullptr, false);
}

uint32_t register_charset(std::string_view name, ToUnicodeFn to, FromUnicodeFn from,
                          ToUnicodeRawFn to_raw, FromUnicodeRawFn from_raw) {
    return register_entry(name, to, from, to_raw, from_raw, true);
}

uint32_t register_codec(std::string_view name, ToUnicodeFn to, FromUnicodeFn from,
                        ToUnicodeRawFn to_raw, FromUnicodeRawFn from_raw) {
    return register_entry(name, to, from, to_raw, from_raw, false);
}

const EncodingEntry* find_encoding(std::string_view name) {
    const EncodingView v = encoding_view();
    if (name.empty()) return nullptr;
    for (uint32_t i = 0; i < v.count; ++i)
        if (ascii_iequal(v.entries[i].name, name)) return &v.entries[i];
    return nullptr;
}

uint32_t encoding_type(std::string_view name) {
    const EncodingEntry* e = find_encoding(name);
    return e ? e->enctype : 0;
}

void free_encodings() {
    Registry& reg = registry();
    std::lock_guard<std::mutex> lock(reg.writer);
    if (Block* b = g_encoding_block.load(std::memory_order_relaxed))
        b->count.store(0, std::memory_order_release);
    reg.generation.fetch_add(1, std::memory_order_release);
}

uint64_t encoding_generation() { return registry().generation.load(std::memory_order_acquire); }

void release_encoding_storage() {
    Registry& reg = registry();
    std::lock_guard<std::mutex> lock(reg.writer);
    reg.generation.fetch_add(1, std::memory_order_release);
    for (Block* b = g_encoding_block.exchange(nullptr); b != nullptr;) {
        Block* older = b->retired;
        delete b;
        b = older;
    }
}

uint32_t encoding_count() { return encoding_view().count; }

// The view converter into a per-thread buffer, copied out when it fits;
// kept out of line, away from the raw converters' short path.
namespace {
template <typename In, typename Out, typename View>
int convert_view(View view, const In* src, size_t n, Out* dst, size_t cap, size_t& len) {
    thread_local std::basic_string<Out> scratch;
    const int r = view(std::basic_string_view<In>(src, n), scratch);
    if (r == 0) return 0;
    len = scratch.size();
    if (len <= cap && len != 0) std::memcpy(dst, scratch.data(), len * sizeof(Out));
    return r;
}
}  // namespace

[[gnu::noinline]] int convert_view_n(const EncodingEntry& e, const char* src, size_t n,
                                     char16_t* dst, size_t cap, size_t& len) {
    return convert_view(e.to_unicode, src, n, dst, cap, len);
}

[[gnu::noinline]] int convert_view_n(const EncodingEntry& e, const char16_t* src, size_t n,
                                     char* dst, size_t cap, size_t& len) {
    return convert_view(e.from_unicode, src, n, dst, cap, len);
}

// The zero-terminated forms for the exports, over the same dispatch: the
// terminator and the room for it are the caller's.
namespace {

size_t text_length(const char* s) { return std::strlen(s); }
size_t text_length(const char16_t* s) { return units_length(s); }

template <typename In, typename Out>
int convert_into(uint32_t enctype, const In* src, Out* dst) {
    size_t len = 0;
    const int r = src ? convert_n(enctype, src, text_length(src), dst, kUnbounded, len) : 0;
    dst[len] = 0;
    return r == kNotRegistered ? 0 : r;
}

}  // namespace

int encoding_to_unicode_into(uint32_t enctype, const char* src, char16_t* dst) {
    return convert_into(enctype, src, dst);
}

int unicode_to_encoding_into(uint32_t enctype, const char16_t* src, char* dst) {
    return convert_into(enctype, src, dst);
}

std::string narrow(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char16_t u : s) out.push_back(static_cast<char>(u & 0xFF));
    return out;
}

}  // namespace nessel
