#pragma once
// The deflate codec's encoder: zlib at its best compression, raw (no zlib
// or gzip wrapper), the form the setup's inflate reads.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrova::kpack {

// The raw deflate stream of size bytes at data (an empty input gives the
// stream of an empty file), primed with the dictionary's bytes when there
// are any (at most deflate's 32 KB window). Throws std::runtime_error when
// zlib fails (it cannot have its memory). The same bytes for the same input
// every time.
std::vector<uint8_t> deflateEncode(const uint8_t* data, std::size_t size,
                                   const uint8_t* dictionary = nullptr,
                                   std::size_t dictionaryLength = 0);

}  // namespace kestrova::kpack
