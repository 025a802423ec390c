#pragma once
// CRC-32 as zip, PNG and Ethernet compute it (reflected polynomial
// 0xEDB88320, initial value and final mask all ones), so that any common
// tool can recompute a package's checksums.
#include <cstddef>
#include <cstdint>

namespace kestrova {

// The CRC-32 of `crc`'s data followed by size bytes of data: start with 0
// and feed the bytes in pieces of any size. Never fails.
uint32_t crc32Update(uint32_t crc, const void* data, std::size_t size);

inline uint32_t crc32(const void* data, std::size_t size) {
    return crc32Update(0, data, size);
}

}  // namespace kestrova
