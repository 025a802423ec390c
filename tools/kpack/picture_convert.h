#pragma once
// A publisher's picture (PNG, or a Windows bitmap of any kind) turned into a
// bitmap the setup draws: a 40-byte information header and uncompressed
// bottom-up rows, 8 bits with a colour table when the picture has at most
// 256 colours, 24 bits otherwise. Transparent pixels are flattened on white:
// the setup draws pictures opaque.
#include <cstdint>
#include <string>
#include <vector>

namespace kestrova::kpack {

// The largest width and height kpack stores: far beyond the wizard's
// places, and within what the setup's reader allocates at 24 bits.
constexpr int kMaxPictureSide = 4096;

struct StoredPicture {
    std::vector<uint8_t> bytes;  // the .bmp file as it goes into the package
    int width = 0;
    int height = 0;
    bool converted = false;  // false: the source is stored as it is
};

// Makes the stored form of a picture file's bytes. A bitmap already in the
// stored form is kept byte for byte, and so is a run-length bitmap, which
// the setup draws as it is. Returns "" on success, else why the picture
// cannot be used (not PNG or BMP, damaged, of a kind no decoder reads, too
// large), to follow the file's name in a message.
std::string makeStoredPicture(const std::vector<uint8_t>& source, StoredPicture* out);

// Whether the setup's own reader draws these bytes (what `kpack verify`
// asks of each stored picture); when it does, *width and *height are set.
bool setupDrawsPicture(const std::vector<uint8_t>& bytes, int* width, int* height);

}  // namespace kestrova::kpack
