#pragma once
// Checks and decodes the streams of a package, by their codec.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "package/format.h"

namespace kestrova::kpack {

// Walks the stream item by item as the decoder reads it. Returns "" when it
// is sound, with the decoded length in *decodedSize; otherwise the problem:
// a match cut after its first byte (a truncated stream), or a match that
// reads ring positions 4078..4095 before the stream has written them (the
// decoder leaves their content open). Never reads outside data.
std::string checkLzssStream(const uint8_t* data, std::size_t size, uint64_t* decodedSize);

// Checks a stream of any codec as the setup decodes it: LZSS with
// checkLzssStream (no decoding), deflate by decoding it (it must be one
// whole stream of exactly its length), stored always. Returns "" with the
// decoded length in *decodedSize, or the problem. Never reads outside data.
// A stream primed with the package's dictionary needs it (empty or null:
// the package has none, which is a problem).
std::string checkStream(format::StreamCodec codec, const uint8_t* data, std::size_t size,
                        uint64_t* decodedSize, const std::vector<uint8_t>* dictionary = nullptr);

// The decoded bytes of a stream (of a damaged deflate stream: those before
// the damage).
std::vector<uint8_t> decodeStreamBytes(format::StreamCodec codec, const uint8_t* data,
                                       std::size_t size,
                                       const std::vector<uint8_t>* dictionary = nullptr);

// The codec's name in kpack's output: lzss, stored, deflate, deflate+dict.
const char* codecName(format::StreamCodec codec);

}  // namespace kestrova::kpack
