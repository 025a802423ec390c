#pragma once
// A minimal PNG encoder for screenshots: 8-bit RGB, no filtering, the image
// data in uncompressed ("stored") deflate blocks. Files are large but need
// no compression library, and every PNG reader accepts them.
#include <cstdint>
#include <vector>

namespace kestrova::e2e {

// rgb holds height rows of width pixels, top row first, 3 bytes (R, G, B)
// per pixel and no row padding. Returns the complete file.
std::vector<uint8_t> encodePng(int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace kestrova::e2e
