// SPDX-License-Identifier: MIT
// nessel.hpp: the C++ interface of the Nessel library.
//
// A header-only layer over the C exports of nessel.h and their
// length-taking forms in nessel_ext.h: it calls the same shared library
// (one library state per process, the same behaviour as the C interface)
// and adds no symbol of its own to it.  What it adds is the handling
// C callers do by hand: UTF-8 and UTF-16 text as string views in and strings
// out, buffers sized here, result codes as values with their names and
// meanings.
//
//     nessel::library lib;                      // InitSDK; DeinitSDK at the end
//     if (!lib) { std::puts(lib.status().message()); return 3; }
//     auto ace = lib.to_ace("bücher.de");       // result<ace_name>
//     if (ace) std::cout << ace->text << ' ' << ace->codec << '\n';
//     else std::cout << ace.error().name() << ": " << ace.error().message() << '\n';
//
// Conversion failures are never thrown: every call returns a result that
// holds either the value or an error (code, name, message).  Text is UTF-8 in
// std::string_view / std::string, or UTF-16 in std::u16string_view /
// std::u16string (units taken singly, as the library does).  Encoded text is
// bytes in std::string.  The only limits are the library's own (a name of at
// most 1023 UTF-16 units).
//
// Only library::zones() needs more than the shared library: it reads the
// zone table from the per-user store and is defined in the static companion
// libnessel_cxx.a, which the installed nessel.pc lists and the CMake
// package's nessel::nessel brings to C++ programs.
//
// The conversions cost little beyond the exports they call: text is passed
// by pointer and length (UTF-8 names decoded on the stack, longer UTF-8
// texts into working space the calling thread keeps), results land in a
// buffer on the stack and are copied once into the string returned (built
// in place in the result) or appended to, encoding names are resolved here
// without a call, and the append forms (append_unicode,
// append_encoded, append_decoded) write into a caller's string without
// allocating once it is large enough.  The into forms (encode_into,
// decode_into) are the counterpart of a C caller's own buffer: the export
// writes straight into a caller-kept nessel::buffer and the result comes
// back as a view of it, with no copy at all.
#ifndef NESSEL_HPP
#define NESSEL_HPP

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "nessel.h"
#include "nessel_ext.h"

// Kept out of line: the rare cases of a call, away from its common path.
#if defined(__GNUC__) || defined(__clang__)
#define NESSEL_HPP_COLD [[gnu::noinline, gnu::cold]]
#elif defined(_MSC_VER)
#define NESSEL_HPP_COLD __declspec(noinline)
#else
#define NESSEL_HPP_COLD
#endif

namespace nessel {

// ---------------------------------------------------------------------------
// Result codes, their names and meanings (the texts the nessel program
// prints in its failure messages).

namespace detail {
struct code_info {
    uint32_t code;
    const char* name;
    const char* message;
};
inline constexpr code_info code_table[] = {
    {0, "NESSEL_OK", "success"},
    {1001, "NESSEL_ERR_INIT", "initialisation failed"},
    {2001, "NESSEL_ERR_NOT_LOADED", "no zone table was loaded"},
    {3001, "NESSEL_ERR_ARGUMENT", "missing argument or ACE codec not accepted"},
    {4001, "NESSEL_ERR_NO_ZONE", "no zone of the zone table matches the name"},
    {6001, "NESSEL_ERR_CONVERSION", "conversion failed"},
    {6002, "NESSEL_ERR_NAMEPREP", "nameprep refused the name with the zone's options"},
    {7001, "NESSEL_ERR_ALL_ASCII", "the prepared name is entirely ASCII"},
    {7002, "NESSEL_ERR_EMPTY", "the prepared name is empty"},
    {101, "NESSEL_ERR_NO_CODEC", "the ACE codec is not registered"},
    {102, "NESSEL_ERR_NO_TARGET", "the target encoding is not registered"},
    {201, "NESSEL_ERR_ACE_DECODE", "the ACE text does not decode with the codec"},
    {202, "NESSEL_ERR_TARGET_ENCODE", "the decoded text has no form in the target encoding"},
    {203, "PREP_ERR_PROHIBITED", "empty name or prohibited character"},
    {204, "PREP_ERR_LABEL_CHAR", "character not allowed in a label"},
    {205, "PREP_ERR_NOT_ALLOWED", "character outside the allowed ranges"},
    {206, "PREP_ERR_MAP_FAILED", "mapping failed"},
    {207, "PREP_ERR_NORMALIZE_FAILED", "normalization failed"},
};
constexpr const code_info* find_code(uint32_t code) noexcept {
    for (const code_info& c : code_table)
        if (c.code == code) return &c;
    return nullptr;
}
}  // namespace detail

// Symbolic name of a result code ("NESSEL_ERR_NO_ZONE"), or "UNKNOWN".
constexpr const char* code_name(uint32_t code) noexcept {
    const detail::code_info* c = detail::find_code(code);
    return c ? c->name : "UNKNOWN";
}
// One-line meaning of a result code.
constexpr const char* code_message(uint32_t code) noexcept {
    const detail::code_info* c = detail::find_code(code);
    return c ? c->message : "unknown result code";
}

// A failure: the library's result code with its name and meaning.  Code 0
// stands for no failure.
class error {
public:
    constexpr error() noexcept = default;
    constexpr explicit error(uint32_t code) noexcept : code_(code) {}
    constexpr uint32_t code() const noexcept { return code_; }
    constexpr const char* name() const noexcept { return code_name(code_); }
    constexpr const char* message() const noexcept { return code_message(code_); }
    constexpr explicit operator bool() const noexcept { return code_ != 0; }
    friend constexpr bool operator==(error a, error b) noexcept { return a.code_ == b.code_; }

private:
    uint32_t code_ = 0;
};

// The value of a call, or its error.  value() of a failed result is an empty
// value, never a crash; check has_value() (or the result itself) first.
template <typename T>
class result {
public:
    result(T value) : value_(std::move(value)) {}
    result(nessel::error e) : error_(e) {}
    // The value made in place from args.
    template <typename... Args>
    explicit result(std::in_place_t, Args&&... args) : value_(std::forward<Args>(args)...) {}

    bool has_value() const noexcept { return !error_; }
    explicit operator bool() const noexcept { return has_value(); }
    const nessel::error& error() const noexcept { return error_; }

    T& value() & noexcept { return value_; }
    const T& value() const& noexcept { return value_; }
    T&& value() && noexcept { return std::move(value_); }
    T value_or(T fallback) const& { return has_value() ? value_ : std::move(fallback); }
    T& operator*() & noexcept { return value_; }
    const T& operator*() const& noexcept { return value_; }
    T* operator->() noexcept { return &value_; }
    const T* operator->() const noexcept { return &value_; }

private:
    T value_{};
    nessel::error error_;
};

// ---------------------------------------------------------------------------
// Values.

// An ACE form and the codec of the zone that produced it.  codec is empty
// when nothing had to be encoded: the prepared name was already ASCII and
// text is that prepared form.
template <typename String>
struct basic_ace_name {
    String text;
    std::string codec;
};
using ace_name = basic_ace_name<std::string>;
using ace_name16 = basic_ace_name<std::u16string>;

// One registered encoding or codec.
struct encoding_info {
    std::string_view name;
    uint32_t enctype;  // 1-based place in registration order
};

// One zone of the zone table.
struct zone_info {
    std::string zone, codec, prefix, suffix, alt_codec, alt_prefix, alt_suffix, strip_tail,
        append_tail;
    uint32_t prep_flags = 0;
};

// The nameprep options that name conversion uses (LOCAL_RULES,
// MAP_IDEOGRAPHIC_STOP, DELIMITERS, ALLOW_UNDERSCORE).
inline constexpr uint32_t default_prep_flags = 0xA5;

// The registered encodings in registration order: an encoding's enctype is
// its place in this list.
inline constexpr std::string_view encoding_names[] = {
    "ascii",     "none",      "utf5",      "utf5x",     "utf8",      "gutf8",     "dutf8",
    "cidnuc",    "race",      "racex",     "rawace",    "lace",      "NCR",       "AMC-Z",
    "PUNYCODE",  "dude",      "dudex",     "Big5",      "gb",        "GBK",       "sjis",
    "Shift_JIS", "euc",       "EUC-JP",    "jis",       "ksc",       "EUC-KR",    "iso8859-1",
    "iso8859-2", "iso8859-3", "iso8859-4", "iso8859-5", "iso8859-6", "iso8859-7", "iso8859-8",
    "iso8859-9", "iso8859-11", "tsc",      "cp1250",    "cp1251",    "cp1252",    "cp1253",
    "cp1254",    "cp1255",    "cp1256",    "cp1257",    "cp1258",    "vni",       "TCVN3",
    "tab",       "tam",       "dev",       "tlg",       "knd"};

// Selects an encoding by name (any letter case) or by enctype.  A name is
// looked up when the reference is made (names and enctypes are fixed, see
// encoding_names), so a reference is one number, passed in a register, and
// a name written in the call is looked up where the call is compiled.
class encoding_ref {
public:
    constexpr encoding_ref(const char* name) noexcept;
    constexpr encoding_ref(std::string_view name) noexcept;
    encoding_ref(const std::string& name) noexcept : encoding_ref(std::string_view(name)) {}
    constexpr encoding_ref(uint32_t enctype) noexcept : enctype_(enctype) {}
    constexpr encoding_ref(int enctype) noexcept
        : enctype_(enctype < 0 ? 0 : static_cast<uint32_t>(enctype)) {}

    // The enctype, 0 when the name is not registered (or the library is
    // not initialised).
    uint32_t enctype() const noexcept;
    // The enctype as given, or of the name given (0 for a name that no
    // encoding has): the converters refuse an unregistered one themselves,
    // so a caller checks it only then.
    constexpr uint32_t given() const noexcept { return enctype_; }

private:
    uint32_t enctype_ = 0;
};

// Caller-kept room for the into forms (decode_into, encode_into): the
// result is written straight into it and comes back as a view of it, valid
// until the buffer is used again or destroyed.  It grows when a result needs
// more and never shrinks, so a loop that reuses one buffer allocates only
// when a result is longer than any before: the counterpart of the C
// caller's own buffer, with no size to choose.  One buffer per thread.
class library;

template <typename Char>
class basic_buffer {
public:
    basic_buffer() = default;
    basic_buffer(basic_buffer&&) noexcept = default;
    basic_buffer& operator=(basic_buffer&&) noexcept = default;

private:
    friend class library;
    // Room for n elements (the contents are not kept when it grows).
    Char* room(std::size_t n) {
        if (n > capacity_) grow(n);
        return data_.get();
    }
    void grow(std::size_t n) {
        std::size_t c = capacity_ < 256 ? 256 : capacity_;
        while (c < n) c *= 2;
        data_.reset(new Char[c]);
        capacity_ = c;
    }
    std::unique_ptr<Char[]> data_;
    std::size_t capacity_ = 0;
};
using buffer = basic_buffer<char>;          // bytes
using buffer16 = basic_buffer<char16_t>;    // UTF-16 units

// ---------------------------------------------------------------------------
// Text helpers.

namespace detail {

constexpr char ascii_lower(char c) noexcept {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}
constexpr bool ascii_iequal(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    return true;
}

// Encoding names to enctypes through an open-addressed table built at
// compile time: the registration order is fixed, so a name's enctype never
// changes, and this spares every call by name the library's scan of its
// registry.  Whether the encoding is registered at the time of the call is
// still the converters' to say.
constexpr uint32_t name_hash(std::string_view s) noexcept {
    uint32_t h = 2166136261u;
    for (char c : s) h = (h ^ static_cast<unsigned char>(ascii_lower(c))) * 16777619u;
    return h;
}
inline constexpr std::size_t name_slots = 256;
inline constexpr auto name_table = [] {
    std::array<uint8_t, name_slots> t{};
    for (std::size_t i = 0; i < std::size(encoding_names); ++i) {
        std::size_t slot = name_hash(encoding_names[i]) % name_slots;
        while (t[slot] != 0) slot = (slot + 1) % name_slots;
        t[slot] = static_cast<uint8_t>(i + 1);
    }
    return t;
}();
constexpr uint32_t lookup_enctype(std::string_view name) noexcept {
    if (name.empty() || name.size() > 10) return 0;  // no registered name is longer
    for (std::size_t slot = name_hash(name) % name_slots; name_table[slot] != 0;
         slot = (slot + 1) % name_slots)
        if (ascii_iequal(encoding_names[name_table[slot] - 1], name)) return name_table[slot];
    return 0;
}

// A zero-terminated name of an ACE codec or encoding for the C interface,
// without allocating: the codecs' own spellings are used as they stand, any
// other name is copied.  A name longer than any registered one, or holding
// a zero byte, becomes "", which names nothing.
class name_cstr {
public:
    explicit name_cstr(std::string_view s) noexcept {
        static constexpr const char* codecs[] = {"race", "lace", "dude", "amc-z", "racex", "dudex"};
        if (s.size() == 4 || s.size() == 5) {
            // The spelling as it stands first (a comparison of a word),
            // then in any letter case.
            const bool four = s.size() == 4;
            const std::size_t first = four ? 0 : 3;
            for (std::size_t i = first; i < first + 3; ++i)
                if (four ? std::memcmp(s.data(), codecs[i], 4) == 0
                         : std::memcmp(s.data(), codecs[i], 5) == 0) {
                    ptr_ = codecs[i];
                    return;
                }
            for (std::size_t i = first; i < first + 3; ++i)
                if (ascii_iequal(s, codecs[i])) {
                    ptr_ = codecs[i];
                    return;
                }
        }
        const bool fits = s.size() < sizeof buf_ && s.find('\0') == std::string_view::npos;
        const std::size_t n = fits ? s.size() : 0;
        std::memcpy(buf_, s.data(), n);
        buf_[n] = 0;
        ptr_ = buf_;
    }
    name_cstr(const name_cstr&) = delete;
    name_cstr& operator=(const name_cstr&) = delete;
    const char* c_str() const noexcept { return ptr_; }

private:
    const char* ptr_;
    char buf_[64];
};

// The same for bytes: short texts in line, longer ones with the C
// library's own scan and copy, which use the widest registers there are.
inline bool copy_bytes(char* out, const char* in, std::size_t n) noexcept {
    std::size_t i = 0;
    bool ok = true;
    if (n > 64) {
        ok = std::memchr(in, 0, n) == nullptr;
        std::memcpy(out, in, n);
        out[n] = 0;
        return ok;
    }
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i seen = zero;
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), v);
        seen = _mm_or_si128(seen, _mm_cmpeq_epi8(v, zero));
    }
    if (i < n && n >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + n - 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + n - 16), v);
        seen = _mm_or_si128(seen, _mm_cmpeq_epi8(v, zero));
        i = n;
    }
    ok = _mm_movemask_epi8(seen) == 0;
#endif
    for (; i < n; ++i) {
        out[i] = in[i];
        ok &= in[i] != 0;
    }
    out[n] = 0;
    return ok;
}

// Strict UTF-8 to UTF-16 (surrogate pairs beyond the BMP) into out, which
// has room for limit units; the count written, or npos for invalid UTF-8
// (overlong forms, surrogates, values above U+10FFFF, truncated or stray
// bytes) and for a zero byte, which the C interface cannot carry.  Stops
// early, without an error, once limit units are written.
inline constexpr std::size_t npos = static_cast<std::size_t>(-1);
inline std::size_t utf8_to_units(std::string_view in, nessel_unit* out, std::size_t limit) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    const auto* end = p + in.size();
    std::size_t n = 0;
    while (p < end && n < limit) {
        uint32_t c = *p;
        if (c < 0x80) {
            if (c == 0) return npos;
            out[n++] = static_cast<nessel_unit>(c);
            ++p;
        } else if (c < 0xE0) {
            // A continuation byte 10xxxxxx XOR 0x80 is its six bits; any
            // other byte comes out above 0x3F.
            if (c < 0xC2 || end - p < 2) return npos;
            const uint32_t b1 = p[1] ^ 0x80u;
            if (b1 > 0x3F) return npos;
            out[n++] = static_cast<nessel_unit>(((c & 0x1F) << 6) | b1);
            p += 2;
        } else if (c < 0xF0) {
            if (end - p < 3) return npos;
            const uint32_t b1 = p[1] ^ 0x80u, b2 = p[2] ^ 0x80u;
            if ((b1 | b2) > 0x3F) return npos;
            c = ((c & 0x0F) << 12) | (b1 << 6) | b2;
            if (c < 0x800 || c - 0xD800 < 0x800) return npos;  // overlong, or a surrogate
            out[n++] = static_cast<nessel_unit>(c);
            p += 3;
        } else {
            if (c > 0xF4 || end - p < 4) return npos;
            const uint32_t b1 = p[1] ^ 0x80u, b2 = p[2] ^ 0x80u, b3 = p[3] ^ 0x80u;
            if ((b1 | b2 | b3) > 0x3F) return npos;
            c = ((c & 0x07) << 18) | (b1 << 12) | (b2 << 6) | b3;
            if (c < 0x10000 || c > 0x10FFFF) return npos;
            if (limit - n < 2) break;
            c -= 0x10000;
            out[n++] = static_cast<nessel_unit>(0xD800 + (c >> 10));
            out[n++] = static_cast<nessel_unit>(0xDC00 + (c & 0x3FF));
            p += 4;
        }
    }
    return n;
}

// The same into any sink with push(char16_t); false for invalid UTF-8.
template <typename Out, typename = decltype(std::declval<Out&>().push(char16_t()))>
bool utf8_to_units(std::string_view in, Out& out, std::size_t limit) {
    const std::size_t room = in.size() < limit ? in.size() : limit;
    const std::unique_ptr<nessel_unit[]> units(new nessel_unit[room + 1]);
    const std::size_t n = utf8_to_units(in, units.get(), room);
    if (n == npos) return false;
    for (std::size_t i = 0; i < n; ++i) out.push(static_cast<char16_t>(units[i]));
    return true;
}

// UTF-16 units appended to out as UTF-8, pairing surrogates; false for an
// unpaired one (out is then unchanged).
inline bool units_to_utf8(const nessel_unit* s, std::size_t n, std::string& out) {
    const std::size_t old = out.size();
    out.resize(old + 3 * n);  // 3 bytes a unit at most (4 for a pair of two)
    char* d = out.data() + old;
    for (std::size_t i = 0; i < n; ++i) {
        uint32_t c = s[i];
        if (c < 0x80) {
            *d++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *d++ = static_cast<char>(0xC0 | (c >> 6));
            *d++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0xD800 || c > 0xDFFF) {
            *d++ = static_cast<char>(0xE0 | (c >> 12));
            *d++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *d++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            if (c > 0xDBFF || i + 1 == n || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF) {
                out.resize(old);
                return false;
            }
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00u);
            *d++ = static_cast<char>(0xF0 | (c >> 18));
            *d++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *d++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *d++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    out.resize(static_cast<std::size_t>(d - out.data()));
    return true;
}

// Appends n UTF-16 units to out as UTF-16 or UTF-8; false, with out
// unchanged, when UTF-8 meets an unpaired surrogate.
inline bool append_units(std::u16string& out, const nessel_unit* units, std::size_t n) {
    out.append(reinterpret_cast<const char16_t*>(units), n);
    return true;
}
inline bool append_units(std::string& out, const nessel_unit* units, std::size_t n) {
    return units_to_utf8(units, n, out);
}

// Working space of n elements: on the stack up to N; beyond, a buffer of
// the calling thread that is kept for its next call (so a thread that
// converts long texts allocates only when a text is longer than any
// before), or for a text beyond any name's size a buffer of its own.
// Slot tells apart the buffers that one call uses at once.
template <typename T, std::size_t N, int Slot>
class scratch {
public:
    explicit scratch(std::size_t n) {
        constexpr std::size_t kept_limit = 1 << 16;
        if (n <= N) {
            data_ = local_;
        } else if (n <= kept_limit) {
            thread_local std::unique_ptr<T[]> kept;
            thread_local std::size_t kept_size = 0;
            if (kept_size < n) {
                kept_size = 1024;
                while (kept_size < n) kept_size *= 2;
                kept.reset(new T[kept_size]);
            }
            data_ = kept.get();
        } else {
            own_.reset(new T[n]);
            data_ = own_.get();
        }
    }
    scratch(const scratch&) = delete;
    scratch& operator=(const scratch&) = delete;
    T* get() noexcept { return data_; }

private:
    T* data_;
    std::unique_ptr<T[]> own_;
    T local_[N];
};

// A zero-terminated copy of bytes for the C interface; ok is false for a
// zero byte inside, which the C interface would take for the end.
template <std::size_t N>
struct zbytes : scratch<char, N, 0> {
    bool ok;
    explicit zbytes(std::string_view s) : scratch<char, N, 0>(s.size() + 1) {
        ok = copy_bytes(this->get(), s.data(), s.size());
    }
};

// UTF-16 text for the length-taking exports: UTF-16 as it stands, UTF-8
// decoded into working space (never more units than bytes); ok is false for
// invalid UTF-8 or a zero byte.
template <std::size_t N>
struct units_of {
    scratch<nessel_unit, N, 0> space;
    const nessel_unit* data;
    std::size_t size;
    bool ok = true;
    explicit units_of(std::u16string_view s)
        : space(0), data(reinterpret_cast<const nessel_unit*>(s.data())), size(s.size()) {}
    explicit units_of(std::string_view utf8) : space(utf8.size() + 1) {
        size = utf8_to_units(utf8, space.get(), utf8.size());
        ok = size != npos;
        if (!ok) size = 0;
        data = space.get();
    }
};

// A name for the length-taking exports: UTF-16 as it stands, UTF-8 decoded
// on the stack into at most one unit more than the longest name the library
// takes, so that a longer name reaches the library and is refused there
// with its own code.
struct name_input {
    static constexpr std::size_t capacity = 1024;
    const nessel_unit* data = nullptr;
    std::size_t size = 0;
    nessel_unit buf[capacity];
    bool assign(std::u16string_view s) noexcept {
        data = reinterpret_cast<const nessel_unit*>(s.data());
        size = s.size();
        return true;
    }
    // False when the text is not valid UTF-8 or holds a zero byte.
    bool assign(std::string_view utf8) noexcept {
        const std::size_t n = utf8_to_units(utf8, buf, capacity);
        if (n == npos) return false;
        data = buf;
        size = n;
        return true;
    }
};

// Appends n converted elements to out (UTF-16 units as UTF-8 to a
// std::string); the count appended.
template <typename Unit, typename String>
result<std::size_t> append_result(String& out, const Unit* dst, std::size_t n) {
    if constexpr (sizeof(typename String::value_type) == sizeof(Unit)) {
        out.append(reinterpret_cast<const typename String::value_type*>(dst), n);
        return n;
    } else {
        const std::size_t old = out.size();
        if (!append_units(out, dst, n)) return error(NESSEL_ERR_TARGET_ENCODE);
        return out.size() - old;
    }
}

// The same for a result larger than the stack holds: into working space,
// converted again with the room it reports when it is longer still.
template <typename Unit, std::size_t N, typename String, typename Fn>
result<std::size_t> append_converted_large(String& out, std::size_t capacity, const Fn& convert) {
    scratch<Unit, 1, 1> space(capacity);
    Unit* dst = space.get();
    std::size_t n = 0;
    uint32_t code = convert(dst, capacity, &n);
    std::unique_ptr<Unit[]> more;
    if (code == NESSEL_ERR_CONVERSION && n > capacity) {
        more.reset(new Unit[n]);
        dst = more.get();
        code = convert(dst, n, &n);
    }
    if (code != NESSEL_OK) return error(code);
    return append_result(out, dst, n);
}

// Appends the result of convert(dst, capacity, &length), one of the
// length-taking exports, to out.  The result goes into a buffer on the
// stack (up to N elements) and is then appended in one piece: cheaper than
// clearing room in out (resize) and cutting it back.  For the charsets N is
// small (a few short texts' room), so that the whole call can be put in
// line; a larger room is per-thread working space.  A result longer than
// capacity is converted again with the room it reports.  On failure out is
// unchanged.
template <typename Unit, std::size_t N, typename String, typename Fn>
result<std::size_t> append_converted(String& out, std::size_t capacity, const Fn& convert) {
    if (capacity > N) return append_converted_large<Unit, N>(out, capacity, convert);
    Unit dst[N];
    std::size_t n = 0;
    const uint32_t code = convert(dst, capacity, &n);
    if (code == NESSEL_OK) return append_result(out, dst, n);
    if (code == NESSEL_ERR_CONVERSION && n > capacity)
        return append_converted_large<Unit, N>(out, n, convert);
    return error(code);
}

// The result of convert as a new string: converted on the stack as
// append_converted does and the string made from it in one piece (cheaper
// than appending to an empty one); a longer result through
// append_converted.
template <typename Unit, std::size_t N, typename String, typename Fn>
result<String> owned_converted(std::size_t capacity, const Fn& convert) {
    using Char = typename String::value_type;
    if constexpr (sizeof(Char) == sizeof(Unit)) {
        if (capacity <= N) {
            Unit dst[N];
            std::size_t n = 0;
            const uint32_t code = convert(dst, capacity, &n);
            if (code == NESSEL_OK)
                return result<String>(std::in_place, reinterpret_cast<const Char*>(dst), n);
            if (code != NESSEL_ERR_CONVERSION || n <= capacity) return error(code);
        }
    }
    String s;
    const result<std::size_t> r = append_converted<Unit, N>(s, capacity, convert);
    if (!r) return r.error();
    return s;
}

// The count of live library objects: the last one releases.  (Each shared
// object built with hidden inline symbols keeps a count of its own.)
struct lifetime {
    std::mutex mutex;
    int live = 0;
};
inline lifetime& lifetime_state() {
    static lifetime state;
    return state;
}

}  // namespace detail

constexpr encoding_ref::encoding_ref(std::string_view name) noexcept
    : enctype_(detail::lookup_enctype(name)) {}
constexpr encoding_ref::encoding_ref(const char* name) noexcept
    : encoding_ref(std::string_view(name ? name : "")) {}

inline uint32_t encoding_ref::enctype() const noexcept {
    const uint32_t type = given();
    // An enctype counts when its encoding is registered now.
    if (type == 0 || type > std::size(encoding_names)) return 0;
    return str2enctype(encoding_names[type - 1].data()) == type ? type : 0;
}
// ---------------------------------------------------------------------------
// The library.

// Construction initialises the library (the encodings, the nameprep tables
// and the zone table, as InitSDK does); destruction of the last library
// object releases it (DeinitSDK).  One object may be shared by any number of
// threads; every member is const and keeps no state of its own.
class library {
public:
    library() noexcept {
        detail::lifetime& l = detail::lifetime_state();
        std::lock_guard<std::mutex> lock(l.mutex);
        status_ = error(InitSDK());
        if (!status_) ++l.live;
    }
    ~library() {
        if (status_) return;
        detail::lifetime& l = detail::lifetime_state();
        std::lock_guard<std::mutex> lock(l.mutex);
        if (--l.live == 0) DeinitSDK();
    }
    library(const library&) = delete;
    library& operator=(const library&) = delete;

    // NESSEL_ERR_INIT when the library could not be initialised (no zone
    // table); every conversion then fails with that error.
    error status() const noexcept { return status_; }
    explicit operator bool() const noexcept { return !status_; }

    static std::string_view version() noexcept { return GetVersion_Nessel(); }

    // A name or an e-mail address to ACE as the zone table prescribes
    // (nameprep, zone lookup, the zone's codec).  A name that is ASCII once
    // prepared succeeds with its prepared form and an empty codec.
    result<ace_name> to_ace(std::string_view name) const { return ace_from(name); }
    result<ace_name16> to_ace(std::u16string_view name) const { return ace_from(name); }

    // ACE back to text with codec "race", "lace", "racex", "dude", "dudex" or
    // "amc-z" (which decodes Punycode "xn--"), as UTF-8 or UTF-16.
    result<std::string> to_unicode(std::string_view ace, std::string_view codec = "amc-z") const {
        return owned<std::string>([&](std::string& s) { return append_unicode(s, ace, codec); });
    }
    result<std::u16string> to_unicode16(std::string_view ace,
                                        std::string_view codec = "amc-z") const {
        return owned<std::u16string>(
            [&](std::u16string& s) { return append_unicode(s, ace, codec); });
    }
    // The same, appended to out (std::string for UTF-8, std::u16string for
    // UTF-16).  The append forms reuse the caller's storage, so a loop that
    // clears and refills one string allocates nothing once it is large
    // enough.  They give the count appended; on failure out is unchanged.
    template <typename String>
    result<std::size_t> append_unicode(String& out, std::string_view ace,
                                       std::string_view codec = "amc-z") const {
        if (status_) return status_;
        // At most one unit per byte of ACE text; twice that leaves room for
        // a decoder that writes a pair for one character.
        const std::size_t capacity = 2 * ace.size() + 2;
        const detail::name_cstr name(codec);
        return detail::append_converted<nessel_unit, 512>(
            out, capacity, [&](nessel_unit* dst, std::size_t cap, std::size_t* len) {
                return nessel_to_unicode_n(name.c_str(), ace.data(), ace.size(), dst, cap, len);
            });
    }

    // ACE to the bytes of a registered encoding.
    result<std::string> to_native(std::string_view ace, encoding_ref target,
                                  std::string_view codec = "amc-z") const {
        if (status_) return status_;
        detail::zbytes<256> in(ace);
        if (!in.ok) return error(NESSEL_ERR_ACE_DECODE);
        const uint32_t type = target.enctype();
        if (type == 0) return error(NESSEL_ERR_NO_TARGET);
        // The decoded text holds at most 1023 units, and no encoding writes
        // more than 8 bytes a unit.
        detail::scratch<char, 1, 1> out(16 * 1024 + 64);
        const uint32_t code = AceToNative(detail::name_cstr(codec).c_str(), in.get(), out.get(),
                                          encoding_names[type - 1].data(), 0);
        if (code != NESSEL_OK) return error(code);
        return std::string(out.get());
    }

    // Nameprep on its own with the given option bits (PREP_* of nessel.h).
    result<std::string> nameprep(std::string_view name,
                                 uint32_t flags = default_prep_flags) const {
        return prep_from(name, flags);
    }
    result<std::u16string> nameprep(std::u16string_view name,
                                    uint32_t flags = default_prep_flags) const {
        return prep_from(name, flags);
    }

    // Text (UTF-8 or UTF-16) to the bytes of a registered encoding or codec.
    result<std::string> encode(std::string_view text, encoding_ref enc) const {
        return encode_with<encode_owned>(text, enc);
    }
    result<std::string> encode(std::u16string_view text, encoding_ref enc) const {
        return encode_with<encode_owned>(text, enc);
    }
    result<std::size_t> append_encoded(std::string& out, std::string_view text,
                                       encoding_ref enc) const {
        return encode_with<encode_units>(text, enc, out);
    }
    result<std::size_t> append_encoded(std::string& out, std::u16string_view text,
                                       encoding_ref enc) const {
        return encode_with<encode_units>(text, enc, out);
    }

    // Bytes in a registered encoding or codec to UTF-8 text, or to UTF-16.
    result<std::string> decode(std::string_view bytes, encoding_ref enc) const {
        return owned<std::string>([&](std::string& s) { return append_decoded(s, bytes, enc); });
    }
    result<std::u16string> decode16(std::string_view bytes, encoding_ref enc) const {
        if (status_) return status_;
        const uint32_t type = enc.given();
        if (type == 0) return error(NESSEL_ERR_NO_CODEC);
        return detail::owned_converted<nessel_unit, 1024, std::u16string>(
            decode_room(bytes.size()), [type, bytes](nessel_unit* dst, std::size_t cap, std::size_t* len) {
                return nessel_decode_n(type, bytes.data(), bytes.size(), dst, cap, len);
            });
    }
    template <typename String>
    result<std::size_t> append_decoded(String& out, std::string_view bytes,
                                       encoding_ref enc) const {
        if (status_) return status_;
        const uint32_t type = enc.given();
        if (type == 0) return error(NESSEL_ERR_NO_CODEC);
        return detail::append_converted<nessel_unit, 64>(
            out, decode_room(bytes.size()), [type, bytes](nessel_unit* dst, std::size_t cap, std::size_t* len) {
                return nessel_decode_n(type, bytes.data(), bytes.size(), dst, cap, len);
            });
    }

    // The same into caller-kept room: the UTF-16 text as a view of buf.
    result<std::u16string_view> decode_into(buffer16& buf, std::string_view bytes,
                                            encoding_ref enc) const {
        if (status_) return status_;
        const uint32_t type = enc.given();
        if (type == 0) return error(NESSEL_ERR_NO_CODEC);
        return into<nessel_decode_n>(buf, decode_room(bytes.size()), type, bytes.data(), bytes.size());
    }
    // Text to bytes into caller-kept room: the bytes as a view of buf.
    result<std::string_view> encode_into(buffer& buf, std::u16string_view text,
                                         encoding_ref enc) const {
        return encode_with<encode_buffer>(text, enc, buf);
    }
    result<std::string_view> encode_into(buffer& buf, std::string_view text,
                                         encoding_ref enc) const {
        return encode_with<encode_buffer>(text, enc, buf);
    }

    // The enctype of an encoding name, 0 when not registered.
    uint32_t enctype(std::string_view name) const noexcept { return encoding_ref(name).enctype(); }

    // The registered encodings in registration order.
    std::vector<encoding_info> encodings() const {
        std::vector<encoding_info> list;
        for (uint32_t t = 1; t <= std::size(encoding_names); ++t)
            if (str2enctype(encoding_names[t - 1].data()) == t)
                list.push_back({encoding_names[t - 1], t});
        return list;
    }

    // The zone table as the per-user store holds it (what this library
    // loaded unless an update replaced it since).  Defined in nessel_cxx.
    result<std::vector<zone_info>> zones() const;

    // Fetches the zone configuration from the download server now and
    // reloads the zone table; false when that failed.
    bool update() const noexcept { return UpdateRegistry() != 0; }

private:
    template <typename Text>
    auto ace_from(Text name) const
        -> result<basic_ace_name<std::basic_string<typename Text::value_type>>> {
        using String = std::basic_string<typename Text::value_type>;
        if (status_) return status_;
        detail::name_input in;
        if (!in.assign(name)) return error(NESSEL_ERR_CONVERSION);
        // Most ACE forms fit the buffer on the stack; a longer one is
        // converted again with the room it reports.
        constexpr std::size_t small_units = 1024;
        nessel_unit small[small_units];
        std::unique_ptr<nessel_unit[]> large;
        nessel_unit* out = small;
        std::size_t n = 0;
        char codec[256];
        codec[0] = 0;
        uint32_t code = nessel_to_ace_n("UTF-8", in.data, in.size, out, small_units, &n, codec,
                                        sizeof codec);
        if (code == NESSEL_ERR_CONVERSION && n > small_units) {
            large = std::make_unique<nessel_unit[]>(n);
            out = large.get();
            code = nessel_to_ace_n("UTF-8", in.data, in.size, out, n, &n, codec, sizeof codec);
        }
        if (code == NESSEL_ERR_ALL_ASCII) {
            // Nothing to encode: the prepared form is the ACE form.
            code = nessel_nameprep_n(in.data, in.size, small, small_units, &n, default_prep_flags);
            if (code != 0) code = NESSEL_ERR_ALL_ASCII;
            out = small;
            codec[0] = 0;
        }
        if (code != NESSEL_OK) return error(code);
        // The ACE form is one byte per unit.
        if constexpr (std::is_same_v<String, std::u16string>)
            return basic_ace_name<String>{String(reinterpret_cast<const char16_t*>(out), n),
                                          std::string(codec)};
        else
            return basic_ace_name<String>{String(out, out + n), std::string(codec)};
    }

    template <typename Text>
    auto prep_from(Text name, uint32_t flags) const
        -> result<std::basic_string<typename Text::value_type>> {
        if (status_) return status_;
        detail::name_input in;
        if (!in.assign(name)) return error(NESSEL_ERR_CONVERSION);
        // A prepared name holds at most 1023 units (207 beyond).
        nessel_unit out[1024];
        std::size_t n = 0;
        const uint32_t code = nessel_nameprep_n(in.data, in.size, out, 1024, &n, flags);
        if (code != 0) return error(code);
        if constexpr (std::is_same_v<typename Text::value_type, char>) {
            std::string text;
            if (!detail::units_to_utf8(out, n, text)) return error(NESSEL_ERR_TARGET_ENCODE);
            return text;
        } else {
            return std::u16string(reinterpret_cast<const char16_t*>(out), n);
        }
    }

    // An encoding call on text in one of its forms (encode_owned,
    // encode_units, encode_buffer): the library's state and the enctype
    // checked, UTF-8 decoded to UTF-16 units (on the stack when short;
    // UTF-16 is taken as it stands), then Form(where..., type, units, count).
    template <auto Form, typename Text, typename... Where>
    auto encode_with(Text text, encoding_ref enc, Where&... where) const
        -> decltype(Form(where..., 0u, static_cast<const nessel_unit*>(nullptr), std::size_t{0})) {
        if (status_) return status_;
        const uint32_t type = enc.given();
        if (type == 0) return error(NESSEL_ERR_NO_TARGET);
        if constexpr (std::is_same_v<Text, std::u16string_view>) {
            return Form(where..., type, reinterpret_cast<const nessel_unit*>(text.data()),
                        text.size());
        } else {
            detail::units_of<256> in(text);
            if (!in.ok) return error(NESSEL_ERR_CONVERSION);
            return Form(where..., type, in.data, in.size);
        }
    }
    // The first room for a result: the charsets write at most 6 bytes a
    // unit, numeric references 8, and decode at most one unit per byte; a
    // codec or glyph encoding that needs more (a byte that stands for a
    // cluster of characters) is converted again with the room it reports.
    static constexpr std::size_t encode_room(std::size_t units) noexcept { return 8 * units + 16; }
    static constexpr std::size_t decode_room(std::size_t bytes) noexcept { return bytes + 16; }

    static result<std::string> encode_owned(uint32_t type, const nessel_unit* in, std::size_t n) {
        return detail::owned_converted<char, 2048, std::string>(
            encode_room(n), [type, in, n](char* dst, std::size_t cap, std::size_t* len) {
                return nessel_encode_n(type, in, n, dst, cap, len);
            });
    }
    static result<std::string_view> encode_buffer(buffer& buf, uint32_t type,
                                                  const nessel_unit* in, std::size_t n) {
        return into<nessel_encode_n>(buf, encode_room(n), type, in, n);
    }
    static result<std::size_t> encode_units(std::string& out, uint32_t type,
                                            const nessel_unit* in, std::size_t n) {
        return detail::append_converted<char, 128>(
            out, encode_room(n), [type, in, n](char* dst, std::size_t cap, std::size_t* len) {
                return nessel_encode_n(type, in, n, dst, cap, len);
            });
    }

    // Export (nessel_decode_n or nessel_encode_n) on the n elements of in,
    // straight into buf with at least want elements of room (all the room
    // it has, so that a converter with a bound finds it); once more with
    // the room reported when that was too small.  The common call (the
    // room is there, the conversion succeeds) is all in line; the rest is
    // not, so that the call stays small enough for any compiler to put in
    // line.
    template <auto Export, typename Char, typename In>
    static result<std::basic_string_view<Char>> into(basic_buffer<Char>& buf, std::size_t want,
                                                     uint32_t type, const In* in, std::size_t n) {
        if (want > buf.capacity_) [[unlikely]]
            return into_again<Export>(buf, want, NESSEL_OK, type, in, n);
        std::size_t len = 0;
        const uint32_t code = Export(type, in, n, unit_ptr(buf.data_.get()), buf.capacity_, &len);
        if (code != NESSEL_OK) [[unlikely]]
            return into_again<Export>(buf, len, code, type, in, n);
        return std::basic_string_view<Char>(buf.data_.get(), len);
    }
    // into's other cases: the room grown to want first (code NESSEL_OK), or
    // a conversion that failed with code and reported it needs want.
    template <auto Export, typename Char, typename In>
    NESSEL_HPP_COLD static result<std::basic_string_view<Char>> into_again(
        basic_buffer<Char>& buf, std::size_t want, uint32_t code, uint32_t type, const In* in,
        std::size_t n) {
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (code != NESSEL_OK && (code != NESSEL_ERR_CONVERSION || want <= buf.capacity_))
                break;
            Char* dst = buf.room(want);
            want = 0;
            code = Export(type, in, n, unit_ptr(dst), buf.capacity_, &want);
            if (code == NESSEL_OK) return std::basic_string_view<Char>(dst, want);
        }
        return error(code);
    }
    static char* unit_ptr(char* p) noexcept { return p; }
    static nessel_unit* unit_ptr(char16_t* p) noexcept { return reinterpret_cast<nessel_unit*>(p); }

    // The value of an append form, in a string of its own, built in place
    // in the result returned (one return, so no string is moved).
    template <typename String, typename Fn>
    static result<String> owned(Fn fill) {
        result<String> r{String()};
        const result<std::size_t> n = fill(*r);
        if (!n) r = n.error();
        return r;
    }

    error status_;
};

}  // namespace nessel

#endif  // NESSEL_HPP
