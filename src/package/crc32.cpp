#include "package/crc32.h"

namespace kestrova {
namespace {

constexpr uint32_t kPolynomial = 0xEDB88320u;
constexpr int kSlices = 8;

// Slicing by eight: table[k][b] is the CRC of byte b followed by k zero
// bytes, so eight input bytes cost eight lookups and no per-bit work. The
// tables are computed on first use rather than stored, which keeps 8 KB out
// of the stub's fixed size; a 50 MB package is then checked well within the
// extraction dialog's time. They live on the heap: a zero-filled static
// array would be stored in the stub's file by the Windows toolchain, whose
// data sections hold zero-initialised data too.
struct Tables {
    uint32_t slice[kSlices][256];
    Tables() {
        for (uint32_t b = 0; b < 256; ++b) {
            uint32_t c = b;
            for (int bit = 0; bit < 8; ++bit) c = (c >> 1) ^ (kPolynomial & (0u - (c & 1u)));
            slice[0][b] = c;
        }
        for (uint32_t b = 0; b < 256; ++b)
            for (int k = 1; k < kSlices; ++k)
                slice[k][b] = (slice[k - 1][b] >> 8) ^ slice[0][slice[k - 1][b] & 0xFFu];
    }
};

const Tables& tables() {
    static const Tables* instance = new Tables;
    return *instance;
}

}  // namespace

uint32_t crc32Update(uint32_t crc, const void* data, std::size_t size) {
    const Tables& t = tables();
    const auto* p = static_cast<const unsigned char*>(data);
    crc = ~crc;
    // Bytes are combined one by one (no unaligned or endian-dependent
    // loads), which compilers still turn into a fast loop.
    while (size >= kSlices) {
        const uint32_t low = crc ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                    uint32_t(p[3]) << 24);
        crc = t.slice[7][low & 0xFFu] ^ t.slice[6][(low >> 8) & 0xFFu] ^
              t.slice[5][(low >> 16) & 0xFFu] ^ t.slice[4][low >> 24] ^ t.slice[3][p[4]] ^
              t.slice[2][p[5]] ^ t.slice[1][p[6]] ^ t.slice[0][p[7]];
        p += kSlices;
        size -= kSlices;
    }
    while (size--) crc = (crc >> 8) ^ t.slice[0][(crc ^ *p++) & 0xFFu];
    return ~crc;
}

}  // namespace kestrova
