// SPDX-License-Identifier: MIT
// encoding/out_sink.h: outputs that a converter core can write to in place
// of a std::string / std::u16string, so that one core serves both the view
// converter (appending to a string) and its raw form (writing straight into
// the caller's memory) without allocating.
//
// A core is a template on its output type Out and uses only what the string
// classes and these sinks have in common: push_back, append(view), size,
// clear, resize, data, operator[] and reserve.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace nessel {

// Writes into memory the caller sized for the whole result.
template <typename Char>
class RawSink {
public:
    explicit RawSink(Char* p) : p_(p) {}
    void push_back(Char c) { p_[n_++] = c; }
    void append(std::basic_string_view<Char> s) {
        if (!s.empty()) std::memcpy(p_ + n_, s.data(), s.size() * sizeof(Char));
        n_ += s.size();
    }
    size_t size() const { return n_; }
    bool empty() const { return n_ == 0; }
    void clear() { n_ = 0; }
    // Growing leaves the new places for the caller to fill.
    void resize(size_t n) { n_ = n; }
    void reserve(size_t) {}
    Char* data() { return p_; }
    Char& operator[](size_t i) { return p_[i]; }
    std::basic_string_view<Char> view() const { return {p_, n_}; }

private:
    Char* p_;
    size_t n_ = 0;
};

// A working buffer of fixed capacity: what does not fit is dropped and
// overflowed() tells so, for the converters that refuse a text beyond their
// working limits.
template <typename Char, size_t N>
class FixedSink {
public:
    void push_back(Char c) {
        if (n_ < N) buf_[n_++] = c;
        else over_ = true;
    }
    void append(std::basic_string_view<Char> s) {
        for (Char c : s) push_back(c);
    }
    size_t size() const { return n_; }
    bool empty() const { return n_ == 0; }
    void clear() {
        n_ = 0;
        over_ = false;
    }
    void resize(size_t n) {
        if (n > N) {
            over_ = true;
            n = N;
        }
        n_ = n;
    }
    void reserve(size_t) {}
    Char* data() { return buf_; }
    Char& operator[](size_t i) { return buf_[i]; }
    bool overflowed() const { return over_; }
    std::basic_string_view<Char> view() const { return {buf_, n_}; }

private:
    Char buf_[N];
    size_t n_ = 0;
    bool over_ = false;
};

}  // namespace nessel

// Defines the four converters of fn (encoding.h) from two expressions that
// convert the view src into the output dst: DECODE (bytes to units) and
// ENCODE (units to bytes), each written once for any output type.
#define NESSEL_SINK_CONVERTERS(fn, DECODE, ENCODE)                                          \
    int fn##_to_unicode(std::string_view src, std::u16string& dst) { return DECODE; }       \
    int fn##_from_unicode(std::u16string_view src, std::string& dst) { return ENCODE; }     \
    int fn##_to_unicode_raw(const char* src_, size_t n_, char16_t* dst_, size_t& written) { \
        const std::string_view src(src_, n_);                                              \
        ::nessel::RawSink<char16_t> dst(dst_);                                             \
        const int r = DECODE;                                                              \
        written = dst.size();                                                              \
        return r;                                                                          \
    }                                                                                      \
    int fn##_from_unicode_raw(const char16_t* src_, size_t n_, char* dst_, size_t& written) { \
        const std::u16string_view src(src_, n_);                                           \
        ::nessel::RawSink<char> dst(dst_);                                                 \
        const int r = ENCODE;                                                              \
        written = dst.size();                                                              \
        return r;                                                                          \
    }
