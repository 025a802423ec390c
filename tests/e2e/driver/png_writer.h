#pragma once
// A small PNG encoder for screenshots: 8-bit RGB, each row filtered with
// "Sub" (a window's flat areas then become runs of zeros), the image data
// deflated by zlib.
#include <cstdint>
#include <vector>

namespace kestrova::e2e {

// rgb holds height rows of width pixels, top row first, 3 bytes (R, G, B)
// per pixel and no row padding. Returns the complete file, or an empty one
// when zlib fails (out of memory).
std::vector<uint8_t> encodePng(int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace kestrova::e2e
