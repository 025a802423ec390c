#include "package/crc32.h"

#include <zlib.h>

namespace kestrova {

uint32_t crc32Update(uint32_t crc, const void* data, std::size_t size) {
    // zlib's CRC-32 is this one (the setup links it for inflate anyway),
    // and its braided loop is faster than a table per byte. Its length is
    // 32 bits wide, so a larger block goes in pieces.
    const auto* p = static_cast<const Bytef*>(data);
    while (size > 0) {
        const uInt piece = size < 0x40000000u ? static_cast<uInt>(size) : 0x40000000u;
        crc = static_cast<uint32_t>(::crc32(crc, p, piece));
        p += piece;
        size -= piece;
    }
    return crc;
}

}  // namespace kestrova
