#pragma once
// The package's LZSS encoder: every stream that the stub's decoder reads
// (a 4096-byte ring preset to spaces at 0..4077, writing from 4078, matches
// of 3..18 bytes, flag bytes lowest bit first).
//
// The parse is optimal for the format: among all ways of covering the data
// with literals (9 bits: a flag bit and a byte) and matches (17 bits: a flag
// bit and two bytes) it takes one of the fewest bits, which is also one of
// the fewest bytes. Since every prefix of a match is itself a match, the
// longest match at each position (match_finder.h) stands for all of them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "match_finder.h"

namespace kestrova::kpack {

// Encodes the data held in a window text (see makeWindowText) whose matches
// have all been found in table; table is used as scratch space. Never fails.
std::vector<uint8_t> encodeParsed(const uint8_t* text, std::size_t textSize, MatchTable& table);

// Encodes size bytes of data in one go, on the calling thread.
std::vector<uint8_t> lzssEncode(const uint8_t* data, std::size_t size);

}  // namespace kestrova::kpack
