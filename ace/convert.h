// SPDX-License-Identifier: MIT
// ace/convert.h: the process-wide ACE prefix and suffix settings.
// Each setting holds at most four characters; the prefixed codecs read them
// at every call, so a setting stays in force until the next setter call.
//
// Threads: the shared settings are read without a lock (a sequence counter
// tells a reader that a change raced with its copy) and changed under a
// mutex.  A conversion that sets prefixes and then encodes runs inside
// with_ace_settings: it works on a private copy, and its changes are
// published at the end only if nothing it read was changed by another
// thread meanwhile; otherwise it runs again, the second time holding the
// mutex.  So each conversion behaves as if the conversions had run one
// after another, and for one thread nothing differs from a plain global.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>
#include <utility>

namespace nessel {

struct AceSettings {
    char race_prefix[5];
    char race_suffix[5];
    char lace_prefix[5];
    char lace_suffix[5];
    char dude_prefix[5];
    char dude_suffix[5];
    char punycode_prefix[5];
};

// The settings in force for this thread: its conversion's private copy, or
// else a fresh copy of the shared settings (valid until the next call).
const AceSettings& ace_settings();
// Restores the defaults (used by tests and the program's fresh start).
void reset_ace_settings();
// Frees the shared settings; only the unload of the library may call it.
void release_ace_settings_storage();

// Store the first four characters of value into the setting that codec
// selects ("race"/"racex", "lace", "dude"/"dudex", "amc-z"/"amc-zx"/"punycode"
// for prefixes); other names and null arguments change nothing.
void set_ace_prefix(const char* codec, const char* value);
void set_ace_suffix(const char* codec, const char* value);

// The same in two steps, for callers that apply one codec's settings many
// times: the slot a codec name selects (-1 when it selects none), then the
// store into it (a negative slot or a null value changes nothing).
// Slots are numbered in AceSettings order.
int ace_prefix_slot(std::string_view codec);
inline constexpr int kRacePrefixSlot = 0;
int ace_suffix_slot(std::string_view codec);
void set_ace_setting(int slot, const char* value);

inline std::string_view race_prefix() { return ace_settings().race_prefix; }
inline std::string_view race_suffix() { return ace_settings().race_suffix; }
inline std::string_view lace_prefix() { return ace_settings().lace_prefix; }
inline std::string_view dude_prefix() { return ace_settings().dude_prefix; }
inline std::string_view punycode_prefix() { return ace_settings().punycode_prefix; }

// The conversion of this thread also depends on another shared state whose
// generation counter is given, and it saw generation seen: the conversion
// runs again if that state changed before its settings were published.
void ace_settings_depend_on(const std::atomic<uint64_t>& generation, uint64_t seen);

namespace detail {
void ace_settings_run(void (*body)(void*), void* context);
}

// Runs fn() as one conversion against the settings (see above) and returns
// its result.  fn may run more than once; it must only compute its result.
// Nested calls join the outer conversion.
template <typename Fn>
auto with_ace_settings(Fn&& fn) -> decltype(fn()) {
    using Result = decltype(fn());
    struct Context {
        Fn* fn;
        Result result;
    } c{&fn, Result{}};
    detail::ace_settings_run([](void* p) {
        auto* ctx = static_cast<Context*>(p);
        ctx->result = (*ctx->fn)();
    }, &c);
    return std::move(c.result);
}

}  // namespace nessel
