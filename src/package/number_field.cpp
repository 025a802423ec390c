#include "package/number_field.h"

#include <cstring>

namespace kestrova {
namespace {

// atol's white space: the C locale's isspace set.
bool isAtolSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

int32_t parseDecimal(const char* text, std::size_t length) {
    std::size_t i = 0;
    while (i < length && text[i] != '\0' && isAtolSpace(text[i])) ++i;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulating in unsigned 32-bit arithmetic wraps modulo 2^32, as the
    // runtime's plain accumulate loop does, instead of overflowing. Wrapping
    // (rather than saturating) keeps a [TotalSize] between 2 GB and 4 GB
    // meaningful, since that value is taken as an unsigned number; any other
    // out-of-range field becomes some wrong but harmless number (a negative
    // stream position cannot be sought).
    uint32_t value = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}

int32_t parseNumberField(const char* field, std::size_t width) {
    // parseDecimal stops at the field's end, at a NUL and at the first
    // non-digit, so padding and an all-blank field (0) need nothing more.
    return parseDecimal(field, width);
}

std::size_t trimTrailingSpaces(char* text) {
    std::size_t length = std::strlen(text);
    while (length > 0 && text[length - 1] == ' ') --length;
    text[length] = '\0';
    return length;
}

}  // namespace kestrova
