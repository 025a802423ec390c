#include "ring_decoder.h"

#include <cstring>

#include "package/format.h"

namespace kestrova::bench {
namespace {

template <class Emit>
void decode(const uint8_t* in, std::size_t n, Emit emit) {
    constexpr unsigned kMask = format::kRingSize - 1;
    uint8_t ring[format::kRingSize];
    std::memset(ring, format::kRingFill, sizeof ring);
    unsigned r = format::kRingStart, flags = 0;
    std::size_t i = 0;
    for (;;) {
        if (((flags >>= 1) & 0x100) == 0) {
            if (i >= n) return;
            flags = in[i++] | 0xFF00u;
        }
        if (flags & 1) {
            if (i >= n) return;
            const uint8_t c = in[i++];
            emit(c);
            ring[r++] = c;
            r &= kMask;
        } else {
            if (i + 1 >= n) return;
            const unsigned b1 = in[i++], b2 = in[i++];
            const unsigned position = b1 | ((b2 & 0xF0u) << 4);
            const unsigned length = (b2 & 0x0Fu) + format::kMinMatch;
            for (unsigned k = 0; k < length; ++k) {
                const uint8_t c = ring[(position + k) & kMask];
                emit(c);
                ring[r++] = c;
                r &= kMask;
            }
        }
    }
}

}  // namespace

std::vector<uint8_t> ringDecode(const uint8_t* data, std::size_t size) {
    std::vector<uint8_t> out;
    decode(data, size, [&](uint8_t c) { out.push_back(c); });
    return out;
}

void ringDecodeToFile(const uint8_t* data, std::size_t size, std::FILE* out) {
    decode(data, size, [&](uint8_t c) { std::putc(c, out); });
}

}  // namespace kestrova::bench
