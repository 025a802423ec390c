#pragma once
// Bounded copies and joins into the fixed text buffers of the setup. A result
// that would not fit is reported as failure and the target is left as it was:
// a path is never silently shortened.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kestrova {

// Writes value in decimal (no sign, no leading zeros, no NUL) at out,
// which has room for 20 bytes; returns the end of the digits.
inline char* appendDecimal(char* out, uint64_t value) {
    char digits[20];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    while (n) *out++ = digits[--n];
    return out;
}

// Copies src into dst (capacity bytes including the NUL). False, dst
// unchanged, when src does not fit.
inline bool copyText(char* dst, std::size_t capacity, const char* src) {
    std::size_t n = std::strlen(src);
    if (n >= capacity) return false;
    std::memmove(dst, src, n + 1);
    return true;
}

// Copies the first n bytes of src and a NUL. False, dst unchanged, when they
// do not fit.
inline bool copyTextN(char* dst, std::size_t capacity, const char* src, std::size_t n) {
    if (n >= capacity) return false;
    std::memmove(dst, src, n);
    dst[n] = '\0';
    return true;
}

// Appends src to the text in dst. False, dst unchanged, when the result does
// not fit.
inline bool appendText(char* dst, std::size_t capacity, const char* src) {
    std::size_t have = std::strlen(dst);
    std::size_t n = std::strlen(src);
    if (have + n >= capacity) return false;
    std::memcpy(dst + have, src, n + 1);
    return true;
}

// Joins up to four parts into dst. False, dst unchanged, when the result does
// not fit (or exceeds 2047 bytes). Any part may be null (empty); parts may
// alias dst, since the result is assembled in a staging buffer first.
inline bool joinText(char* dst, std::size_t capacity, const char* a, const char* b,
                     const char* c = nullptr, const char* d = nullptr) {
    const char* parts[4] = {a, b, c, d};
    std::size_t lengths[4];
    std::size_t total = 0;
    for (int i = 0; i < 4; ++i) {
        lengths[i] = parts[i] ? std::strlen(parts[i]) : 0;
        total += lengths[i];
    }
    if (total >= capacity) return false;
    char out[2048];
    if (total >= sizeof out) return false;
    std::size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        if (lengths[i]) std::memcpy(out + at, parts[i], lengths[i]);
        at += lengths[i];
    }
    std::memcpy(dst, out, total);
    dst[total] = '\0';
    return true;
}

template <std::size_t N>
inline bool copyText(char (&dst)[N], const char* src) {
    return copyText(dst, N, src);
}
template <std::size_t N>
inline bool appendText(char (&dst)[N], const char* src) {
    return appendText(dst, N, src);
}
template <std::size_t N>
inline bool joinText(char (&dst)[N], const char* a, const char* b, const char* c = nullptr,
                     const char* d = nullptr) {
    return joinText(dst, N, a, b, c, d);
}

}  // namespace kestrova
