#pragma once
// The package's deflate dictionary (format.h): what many of a product's
// files share (words, names, headers), so that each small file's deflate
// stream can refer to it instead of spelling it out again.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "compressor.h"

namespace kestrova::kpack {

// How much of each stream the dictionary may take: its first bytes.
constexpr std::size_t kDictionarySample = 1024;

// A dictionary of at most kMaxDictionary bytes from samples (the first
// kDictionarySample bytes of each stream, in package order): of the samples
// that deflate makes smaller by a third or more (text, programs; not
// media), one in four at most, spread evenly over the package, each left
// out when the dictionary so far holds most of it already. Empty when no
// sample qualifies. The same samples always give the same bytes.
std::vector<uint8_t> buildDictionary(const std::vector<std::vector<uint8_t>>& samples);

// Keeps the dictionary only when the streams primed with it save more bytes
// than it costs itself; otherwise gives every primed stream its plain form
// back and empties the dictionary.
void settleDictionary(std::vector<PackedStream>& streams, std::vector<uint8_t>& dictionary);

}  // namespace kestrova::kpack
