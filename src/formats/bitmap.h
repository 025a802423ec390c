#pragma once
// Windows bitmap (.bmp) files read into one block ready for the system's
// device-independent drawing: a 40-byte information header, the colour
// table (4 bytes per entry: blue, green, red, 0) and the pixel rows as
// stored (bottom row first, each row padded to 4 bytes). Pictures are not
// kept: every paint loads the file again and releases the block.
#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace kestrova {

constexpr uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER
constexpr uint32_t kCoreHeaderSize = 12;  // BITMAPCOREHEADER
constexpr uint32_t kMaxBitmapColors = 256;

// Compression values a loaded block can carry.
constexpr uint32_t kBitmapRgb = 0;        // plain rows
constexpr uint32_t kBitmapRle8 = 1;       // run-length encoded, 8 bits
constexpr uint32_t kBitmapRle4 = 2;       // run-length encoded, 4 bits
constexpr uint32_t kBitmapBitFields = 3;  // 16 or 32 bits, colour masks after the header

// A loaded picture. Move-only; frees its block when destroyed. Only the
// loader makes one, and it guarantees: the header size is 40, width and
// height are positive (top-down files are turned over), the colour table
// holds colorsUsed() <= 256 entries (none for bit fields, whose three masks
// stand in its place), and the pixel area holds imageSize() bytes, which
// for plain rows and bit fields is at least rowBytes() x height().
class BitmapBlock {
  public:
    BitmapBlock() = default;
    BitmapBlock(BitmapBlock&& other) noexcept;
    BitmapBlock& operator=(BitmapBlock&& other) noexcept;
    BitmapBlock(const BitmapBlock&) = delete;
    BitmapBlock& operator=(const BitmapBlock&) = delete;
    ~BitmapBlock();

    bool isLoaded() const { return data_ != nullptr; }
    explicit operator bool() const { return isLoaded(); }

    // The whole block: header, colour table, pixels.
    const uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

    // Header fields (little-endian in the block).
    uint32_t headerSize() const { return field32(0); }
    int32_t width() const { return static_cast<int32_t>(field32(4)); }
    int32_t height() const { return static_cast<int32_t>(field32(8)); }
    uint16_t planes() const;
    uint16_t bitCount() const;
    uint32_t compression() const { return field32(16); }
    uint32_t imageSize() const { return field32(20); }
    uint32_t colorsUsed() const { return field32(32); }
    uint32_t colorsImportant() const { return field32(36); }

    // colorsUsed() entries of 4 bytes: blue, green, red, 0; for bit fields
    // the red, green and blue masks (32 bits each).
    const uint8_t* colorTable() const { return data_ + kInfoHeaderSize; }
    // imageSize() bytes of rows, bottom row first.
    const uint8_t* pixels() const {
        return colorTable() + 4 * colorsUsed() + (compression() == kBitmapBitFields ? 12 : 0);
    }
    // Bytes of one stored row of plain pixels.
    std::size_t rowBytes() const;

  private:
    friend class BitmapLoader;
    BitmapBlock(uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    uint32_t field32(std::size_t at) const;

    uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

// Loads a .bmp file through the platform. An empty block when the file is
// missing, shorter than its headers, of a form this reader does not draw,
// damaged, or memory is short. A file that ends inside its pixels loads with
// the missing bytes zero.
BitmapBlock loadBitmapFile(Platform& platform, const char* path);

// The same from the bytes of a file already in memory.
BitmapBlock loadBitmapBytes(const uint8_t* bytes, std::size_t length);

struct PaletteEntry {
    uint8_t red, green, blue, flags;
};

// A logical palette as plain data (the drawing code makes the system's from
// it).
struct BitmapPalette {
    int count = 0;
    PaletteEntry entries[kMaxBitmapColors];
};

// The palette to realise before drawing block: its colour table, or for a
// 24-bit picture without one a 256-colour cube. False, palette untouched,
// when the picture needs none (16 and 32 bits without a table).
bool createBitmapPalette(const BitmapBlock& block, BitmapPalette* palette);

}  // namespace kestrova
