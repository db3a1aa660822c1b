// SPDX-License-Identifier: MIT
// ace/convert.cpp: the ACE prefix and suffix settings and their setters.
#include "ace/convert.h"

#include <cstring>
#include <iterator>
#include <mutex>
#include <thread>

#include "encoding/encoding.h"

namespace nessel {
namespace {

constexpr AceSettings kDefaults = {"ra--", "", "lq--", "", "dq--", "", "xn--"};
constexpr std::size_t kWords = (sizeof(AceSettings) + 7) / 8;
// After this many runs a conversion keeps its result even if the state it
// depends on kept changing (reloads faster than one conversion).
constexpr int kMaxRuns = 16;

// The shared settings as atomic words under a sequence counter that is odd
// while a change is written.  Made when the library is loaded; the unload
// frees it.
struct Shared {
    std::mutex writer;  // held to change the settings
    std::atomic<uint32_t> seq{0};
    std::atomic<uint64_t> words[kWords];
    Shared() {
        uint64_t w[kWords] = {};
        std::memcpy(w, &kDefaults, sizeof kDefaults);
        for (std::size_t i = 0; i < kWords; ++i) words[i].store(w[i], std::memory_order_relaxed);
    }
};
Shared* g_shared = new Shared;
Shared& shared() { return *g_shared; }

void read_shared(AceSettings& out, uint32_t& seq) {
    Shared& s = shared();
    uint64_t w[kWords];
    for (;;) {
        const uint32_t before = s.seq.load(std::memory_order_acquire);
        if (before & 1) {
            std::this_thread::yield();
            continue;
        }
        for (std::size_t i = 0; i < kWords; ++i) w[i] = s.words[i].load(std::memory_order_acquire);
        if (s.seq.load(std::memory_order_relaxed) == before) {
            seq = before;
            break;
        }
    }
    std::memcpy(&out, w, sizeof out);
}

// The caller holds the writer mutex.
void write_shared(const AceSettings& in) {
    Shared& s = shared();
    uint64_t w[kWords] = {};
    std::memcpy(w, &in, sizeof in);
    const uint32_t seq = s.seq.load(std::memory_order_relaxed);
    s.seq.store(seq + 1, std::memory_order_relaxed);
    for (std::size_t i = 0; i < kWords; ++i) s.words[i].store(w[i], std::memory_order_release);
    s.seq.store(seq + 2, std::memory_order_release);
}

// This thread's conversion in progress, and its copy outside one.
struct Txn {
    int depth = 0;
    AceSettings base, local;
    uint32_t seq = 0;
    const std::atomic<uint64_t>* dep = nullptr;
    uint64_t dep_seen = 0;
    bool dep_conflict = false;
    AceSettings outside;
    uint32_t outside_seq = 1;  // odd: not yet read
};
thread_local Txn t_txn;

// Copies at most four characters and zero-fills the rest, so an empty value
// empties the setting.
void store(char (&slot)[5], const char* value) {
    char v[5] = {};
    for (size_t i = 0; i < 4 && value[i] != 0; ++i) v[i] = value[i];
    std::memcpy(slot, v, sizeof v);
}

// The settings by slot number, in AceSettings order.
constexpr char (AceSettings::*kSlot[])[5] = {
    &AceSettings::race_prefix, &AceSettings::race_suffix, &AceSettings::lace_prefix,
    &AceSettings::lace_suffix, &AceSettings::dude_prefix, &AceSettings::dude_suffix,
    &AceSettings::punycode_prefix};
constexpr int kSlots = static_cast<int>(std::size(kSlot));

// Applies change to this thread's conversion, or else to the shared settings.
template <typename Change>
void modify(Change&& change) {
    Txn& t = t_txn;
    if (t.depth > 0) {
        change(t.local);
        return;
    }
    std::lock_guard<std::mutex> lock(shared().writer);
    AceSettings s;
    uint32_t seq;
    read_shared(s, seq);
    change(s);
    write_shared(s);
    // This thread's copy shows its own change at once.
    read_shared(t.outside, t.outside_seq);
}

}  // namespace

void release_ace_settings_storage() {
    delete g_shared;
    g_shared = nullptr;
}

const AceSettings& ace_settings() {
    Txn& t = t_txn;
    if (t.depth > 0) return t.local;
    if (shared().seq.load(std::memory_order_acquire) != t.outside_seq) read_shared(t.outside, t.outside_seq);
    return t.outside;
}

void reset_ace_settings() {
    modify([](AceSettings& s) { s = kDefaults; });
}

int ace_prefix_slot(std::string_view c) {
    if (ascii_iequal(c, "race") || ascii_iequal(c, "racex")) return 0;
    if (ascii_iequal(c, "lace")) return 2;
    if (ascii_iequal(c, "dude") || ascii_iequal(c, "dudex")) return 4;
    if (ascii_iequal(c, "amc-z") || ascii_iequal(c, "amc-zx") || ascii_iequal(c, "punycode"))
        return 6;
    return -1;
}

int ace_suffix_slot(std::string_view c) {
    if (ascii_iequal(c, "race") || ascii_iequal(c, "racex")) return 1;
    if (ascii_iequal(c, "lace")) return 3;
    if (ascii_iequal(c, "dude") || ascii_iequal(c, "dudex")) return 5;
    return -1;
}

void set_ace_setting(int slot, const char* value) {
    if (slot < 0 || slot >= kSlots || value == nullptr) return;
    // Inside a conversion the change goes straight to its private copy.
    Txn& t = t_txn;
    if (t.depth > 0) {
        store(t.local.*kSlot[slot], value);
        return;
    }
    modify([&](AceSettings& s) { store(s.*kSlot[slot], value); });
}

void set_ace_prefix(const char* codec, const char* value) {
    if (codec == nullptr || value == nullptr) return;
    set_ace_setting(ace_prefix_slot(codec), value);
}

void set_ace_suffix(const char* codec, const char* value) {
    if (codec == nullptr || value == nullptr) return;
    set_ace_setting(ace_suffix_slot(codec), value);
}

void ace_settings_depend_on(const std::atomic<uint64_t>& generation, uint64_t seen) {
    Txn& t = t_txn;
    if (t.depth == 0) return;
    if (t.dep == nullptr) {
        t.dep = &generation;
        t.dep_seen = seen;
    } else if (t.dep != &generation || t.dep_seen != seen) {
        t.dep_conflict = true;  // two different states within one conversion
    }
}

namespace detail {

void ace_settings_run(void (*body)(void*), void* context) {
    Txn& t = t_txn;
    if (t.depth > 0) {  // joins the conversion already running
        ++t.depth;
        body(context);
        --t.depth;
        return;
    }
    Shared& s = shared();
    for (int run = 1;; ++run) {
        // The first run takes no lock; a run after a conflict holds the
        // writer mutex throughout, so no other change can come between.
        std::unique_lock<std::mutex> lock(s.writer, std::defer_lock);
        if (run > 1) lock.lock();
        read_shared(t.base, t.seq);
        t.local = t.base;
        t.dep = nullptr;
        t.dep_conflict = false;
        t.depth = 1;
        body(context);
        t.depth = 0;
        const bool changed = std::memcmp(&t.local, &t.base, sizeof t.base) != 0;
        if (!changed && t.dep == nullptr) return;  // it read one state of the settings only
        const bool dep_ok = !t.dep_conflict &&
                            (t.dep == nullptr || t.dep->load(std::memory_order_acquire) == t.dep_seen);
        if (!changed) {
            if ((dep_ok && s.seq.load(std::memory_order_acquire) == t.seq) || run >= kMaxRuns) return;
            continue;
        }
        if (!lock.owns_lock()) lock.lock();
        if ((!dep_ok || s.seq.load(std::memory_order_relaxed) != t.seq) && run < kMaxRuns) continue;
        write_shared(t.local);
        return;
    }
}

}  // namespace detail
}  // namespace nessel
