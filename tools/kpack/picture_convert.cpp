#include "picture_convert.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "formats/bitmap.h"

// stb_image decodes PNG and every BMP kind but run-length ones. Only those
// two decoders are compiled in, and only from memory.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#include <stb/stb_image.h>

namespace kestrova::kpack {
namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t kFileHeaderSize = 14;

uint32_t le16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0] | p[1] << 8);
}

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v);
    put16(out, v >> 16);
}

// Whether a bitmap file ends before its rows do. Both readers would take
// the missing rows as black (or garbage) rather than fail, yet no image
// editor writes such a file: it was cut short in a copy or a download.
bool endsBeforeItsRows(const std::vector<uint8_t>& b) {
    if (b.size() < kFileHeaderSize + kCoreHeaderSize) return false;  // refused anyway
    const uint8_t* h = b.data() + kFileHeaderSize;
    const uint64_t offset = le32(b.data() + 10);
    uint64_t width, height, bits, compression = kBitmapRgb, imageSize = 0;
    if (le32(h) == kCoreHeaderSize) {
        width = le16(h + 4);
        height = le16(h + 6);
        bits = le16(h + 10);
    } else if (b.size() >= kFileHeaderSize + kInfoHeaderSize) {
        width = le32(h + 4);
        height = static_cast<uint64_t>(
            std::abs(static_cast<int64_t>(static_cast<int32_t>(le32(h + 8)))));
        bits = le16(h + 14);
        compression = le32(h + 16);
        imageSize = le32(h + 20);
    } else {
        return false;
    }
    // Too large, or rows in a form whose size the header does not tell
    // (JPEG or PNG inside): refused anyway.
    if (width > kMaxPictureSide || height > kMaxPictureSide || compression > kBitmapBitFields)
        return false;
    const bool runLength = compression == kBitmapRle8 || compression == kBitmapRle4;
    const uint64_t rows = runLength ? imageSize : (bits * width + 31) / 32 * 4 * height;
    return offset + rows > b.size();
}

bool startsWith(const std::vector<uint8_t>& bytes, const uint8_t* prefix, std::size_t n) {
    return bytes.size() >= n && std::memcmp(bytes.data(), prefix, n) == 0;
}

bool isBmp(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

// A bitmap already in the stored form: file header, 40-byte header, plain
// bottom-up rows of 8 or 24 bits, and drawn by the setup's reader.
bool isStoredForm(const std::vector<uint8_t>& bytes, const BitmapBlock& block) {
    if (!block || !isBmp(bytes) || bytes.size() < kFileHeaderSize + kInfoHeaderSize) return false;
    const uint8_t* header = bytes.data() + kFileHeaderSize;
    const bool bottomUp = static_cast<int32_t>(le32(header + 8)) > 0;
    return le32(header) == kInfoHeaderSize && bottomUp && block.compression() == kBitmapRgb &&
           (block.bitCount() == 8 || block.bitCount() == 24);
}

BitmapBlock loadWithSetupReader(const std::vector<uint8_t>& bytes) {
    return loadBitmapBytes(bytes.data(), bytes.size());
}

// White behind a pixel of the given opacity, rounded to the nearest step.
uint8_t onWhite(uint8_t value, uint8_t alpha) {
    return static_cast<uint8_t>((value * alpha + 255 * (255 - alpha) + 127) / 255);
}

// Writes the stored form of rgb (3 bytes a pixel, top row first).
std::vector<uint8_t> writeBitmap(const std::vector<uint8_t>& rgb, int width, int height) {
    // Colours in order of first appearance, so the output depends on the
    // picture alone; more than 256 of them make a 24-bit picture.
    std::unordered_map<uint32_t, uint32_t> index;
    std::vector<uint32_t> table;
    for (std::size_t i = 0; i < rgb.size() && table.size() <= kMaxBitmapColors; i += 3) {
        const uint32_t colour = rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2];
        if (index.emplace(colour, static_cast<uint32_t>(table.size())).second)
            table.push_back(colour);
    }
    const bool paletted = table.size() <= kMaxBitmapColors;
    const uint32_t bits = paletted ? 8 : 24;
    const uint32_t colours = paletted ? static_cast<uint32_t>(table.size()) : 0;
    const std::size_t rowBytes = (static_cast<std::size_t>(bits) * width + 31) / 32 * 4;
    const std::size_t imageSize = rowBytes * height;
    const uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + 4 * colours;

    std::vector<uint8_t> out;
    out.reserve(pixelOffset + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, static_cast<uint32_t>(pixelOffset + imageSize));
    put32(out, 0);  // reserved
    put32(out, pixelOffset);
    put32(out, kInfoHeaderSize);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));  // positive: bottom row first
    put16(out, 1);                              // planes
    put16(out, bits);
    put32(out, kBitmapRgb);
    put32(out, static_cast<uint32_t>(imageSize));
    put32(out, 0);  // horizontal resolution: unknown
    put32(out, 0);  // vertical resolution
    put32(out, colours);
    put32(out, 0);  // every colour is important
    for (uint32_t colour : table) {
        if (!paletted) break;
        put32(out, colour);  // blue, green, red, 0 in memory order
    }
    for (int y = height - 1; y >= 0; --y) {
        const uint8_t* row = rgb.data() + static_cast<std::size_t>(y) * width * 3;
        const std::size_t start = out.size();
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = row + 3 * x;
            if (paletted) {
                out.push_back(static_cast<uint8_t>(index[p[0] << 16 | p[1] << 8 | p[2]]));
            } else {
                out.push_back(p[2]);
                out.push_back(p[1]);
                out.push_back(p[0]);
            }
        }
        out.resize(start + rowBytes, 0);
    }
    return out;
}

}  // namespace

bool setupDrawsPicture(const std::vector<uint8_t>& bytes, int* width, int* height) {
    const BitmapBlock block = loadWithSetupReader(bytes);
    if (!block) return false;
    *width = block.width();
    *height = block.height();
    return true;
}

std::string makeStoredPicture(const std::vector<uint8_t>& source, StoredPicture* out) {
    const bool png = startsWith(source, kPngSignature, sizeof kPngSignature);
    if (!png && !isBmp(source)) return "is neither a PNG file nor a Windows bitmap (.bmp)";
    const char* kind = png ? "PNG file" : "bitmap";

    if (!png && endsBeforeItsRows(source))
        return "ends before its pixel rows do (the file is cut short)";
    const BitmapBlock block = png ? BitmapBlock() : loadWithSetupReader(source);
    if (isStoredForm(source, block)) {
        *out = {source, block.width(), block.height(), false};
        return "";
    }

    const auto* data = reinterpret_cast<const stbi_uc*>(source.data());
    const int length = source.size() > INT32_MAX ? INT32_MAX : static_cast<int>(source.size());
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(data, length, &width, &height, &channels)) {
        // Run-length bitmaps are the one kind the decoder refuses that the
        // setup draws itself.
        if (block && (block.compression() == kBitmapRle8 || block.compression() == kBitmapRle4)) {
            *out = {source, block.width(), block.height(), false};
            return "";
        }
        return std::string("is a damaged or unsupported ") + kind + " (" + stbi_failure_reason() +
               ")";
    }
    // A top-down bitmap reports its height negative here (not once decoded).
    height = std::abs(height);
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide)
        return "is " + std::to_string(width) + " x " + std::to_string(height) +
               " pixels; the setup takes pictures of at most " + std::to_string(kMaxPictureSide) +
               " x " + std::to_string(kMaxPictureSide);

    std::unique_ptr<stbi_uc, void (*)(void*)> rgba(
        stbi_load_from_memory(data, length, &width, &height, &channels, 4), stbi_image_free);
    if (!rgba)
        return std::string("is a damaged or unsupported ") + kind + " (" + stbi_failure_reason() +
               ")";

    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    std::vector<uint8_t> rgb(pixels * 3);
    for (std::size_t i = 0; i < pixels; ++i) {
        const stbi_uc* p = rgba.get() + 4 * i;
        for (int c = 0; c < 3; ++c) rgb[3 * i + c] = onWhite(p[c], p[3]);
    }
    out->bytes = writeBitmap(rgb, width, height);
    out->width = width;
    out->height = height;
    out->converted = true;
    // What kpack writes, the setup must draw; anything else is kpack's fault.
    int drawnWidth = 0, drawnHeight = 0;
    if (!setupDrawsPicture(out->bytes, &drawnWidth, &drawnHeight) || drawnWidth != width ||
        drawnHeight != height)
        return "internal error: its converted form is not drawn by the setup";
    return "";
}

}  // namespace kestrova::kpack
