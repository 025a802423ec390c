#include "folders/sort_no_case.h"

#include <cstdint>
#include <cstring>

#include "engine/gbk_text.h"

namespace kestrova {

namespace {

// The value of the character at *p, moving *p past it; 0 at the end.
// ASCII letters count as lower case. Double-byte letters get the system's
// upper-case mapping (full-width Latin, Greek and Cyrillic letters of GBK);
// Chinese characters have no case and keep their value.
uint32_t nextCharValue(const unsigned char*& p) {
    if (!*p) return 0;
    const char* s = reinterpret_cast<const char*>(p);
    if (gbkCharLength(s, s + (p[1] ? 2 : 1)) == 1) {
        uint32_t c = *p++;
        return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
    }
    uint32_t c = static_cast<uint32_t>(p[0]) << 8 | p[1];
    p += 2;
    if (c >= 0xA3E1 && c <= 0xA3FA) return c - 0x20;  // full-width a-z
    if (c >= 0xA6C1 && c <= 0xA6D8) return c - 0x20;  // Greek
    if (c >= 0xA7D1 && c <= 0xA7F1) return c - 0x30;  // Cyrillic
    return c;
}

}  // namespace

int compareNoCase(const char* a, const char* b) {
    auto pa = reinterpret_cast<const unsigned char*>(a);
    auto pb = reinterpret_cast<const unsigned char*>(b);
    for (;;) {
        const uint32_t ca = nextCharValue(pa), cb = nextCharValue(pb);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (!ca) return 0;
    }
}

void sortNoCase(const char** items, const char** scratch, std::size_t count) {
    // Bottom-up merge sort, runs of width 1, 2, 4, ... Taking from the left
    // run unless the right one is strictly smaller keeps it stable.
    const char** from = items;
    const char** to = scratch;
    for (std::size_t width = 1; width < count; width *= 2) {
        for (std::size_t left = 0; left < count; left += 2 * width) {
            const std::size_t middle = left + width < count ? left + width : count;
            const std::size_t right = middle + width < count ? middle + width : count;
            std::size_t i = left, j = middle, k = left;
            while (i < middle && j < right)
                to[k++] = compareNoCase(from[j], from[i]) < 0 ? from[j++] : from[i++];
            while (i < middle) to[k++] = from[i++];
            while (j < right) to[k++] = from[j++];
        }
        const char** swap = from;
        from = to;
        to = swap;
    }
    if (from != items) std::memcpy(items, from, count * sizeof *items);
}

}  // namespace kestrova
