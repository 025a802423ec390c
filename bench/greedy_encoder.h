#pragma once
// The baseline for kpack's encoder: the classic greedy LZSS encoder (a
// binary search tree over the 4096-byte ring, the longest match taken at
// every step), in the package's format.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrova::bench {

// Encodes size bytes; the result decodes with the project's decoder.
std::vector<uint8_t> greedyEncode(const uint8_t* data, std::size_t size);

}  // namespace kestrova::bench
