#pragma once
// Walking GBK text character by character. Paths and registry key names are
// GBK, where the second byte of a Chinese character may be '\' (0x5C) or
// ']' (0x5D): splitting at such a byte would name a folder or key that does
// not exist, so a search for separators steps over whole characters.
#include <cstddef>

namespace kestrova {

// Bytes of the character at p in the text [p, end) (p < end): 2 for a lead
// byte 0x81-0xFE followed by a trail byte 0x40-0xFE other than 0x7F, else 1.
// Never reads at or past end, so a lead byte that is the last byte of the
// text counts as a character of its own.
inline std::size_t gbkCharLength(const char* p, const char* end) {
    auto lead = static_cast<unsigned char>(p[0]);
    if (lead < 0x81 || lead == 0xFF || end - p < 2) return 1;
    auto trail = static_cast<unsigned char>(p[1]);
    return trail >= 0x40 && trail <= 0xFE && trail != 0x7F ? 2 : 1;
}

}  // namespace kestrova
