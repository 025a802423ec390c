#pragma once
// Checks one LZSS stream of a package without decoding it into memory.
#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrova::kpack {

// Walks the stream item by item as the decoder reads it. Returns "" when it
// is sound, with the decoded length in *decodedSize; otherwise the problem:
// a match cut after its first byte (a truncated stream), or a match that
// reads ring positions 4078..4095 before the stream has written them (the
// decoder leaves their content open). Never reads outside data.
std::string checkLzssStream(const uint8_t* data, std::size_t size, uint64_t* decodedSize);

}  // namespace kestrova::kpack
