#pragma once
// The baseline for the project's decoder: the plain LZSS decoder, one byte
// at a time through a 4096-byte ring.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace kestrova::bench {

// Decodes into memory, appending byte by byte.
std::vector<uint8_t> ringDecode(const uint8_t* data, std::size_t size);

// Decodes into an open file, one putc per byte.
void ringDecodeToFile(const uint8_t* data, std::size_t size, std::FILE* out);

}  // namespace kestrova::bench
