#include "formats/bitmap.h"

#include <cstdlib>
#include <cstring>

namespace kestrova {
namespace {

constexpr std::size_t kFileHeaderSize = 14;  // "BM", file size, reserved, pixel offset
constexpr std::size_t kReadPiece = 32768;
constexpr std::size_t kMaskBytes = 12;  // red, green and blue bit-field masks

// Limits on what a header may make us allocate. The wizard's pictures are a
// few hundred pixels wide; 64 MiB of pixels (4096 x 4096 at 32 bits) is far
// beyond any of them yet still an allocation a 32-bit process can make.
constexpr uint64_t kMaxPixelBytes = 64u << 20;
// A picture cut short still draws, its missing rows zero (black). But a
// header that promises more than this beyond the bytes the file still holds
// describes a damaged file, not a short one, and is not drawn: otherwise a
// 60-byte file could make us allocate and draw 64 MiB of nothing.
constexpr uint64_t kMaxMissingPixelBytes = 1u << 20;

uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
void put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
    put16(p, v);
    put16(p + 2, v >> 16);
}

// Colour-table entries implied by a bit count when the header names none.
uint32_t colorsForBits(uint32_t bits) {
    switch (bits) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

bool isDrawableBitCount(uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

// Where the bytes of a picture come from: an open file or memory.
class BitmapSource {
  public:
    virtual std::size_t read(void* buffer, std::size_t n) = 0;
    virtual bool seek(int64_t position) = 0;
    virtual int64_t tell() = 0;
    virtual int64_t size() = 0;

  protected:
    ~BitmapSource() = default;
};

namespace {

class FileSource final : public BitmapSource {
  public:
    explicit FileSource(File& file) : file_(file) {}
    std::size_t read(void* buffer, std::size_t n) override { return file_.read(buffer, n); }
    bool seek(int64_t position) override { return file_.seek(position); }
    int64_t tell() override { return file_.tell(); }
    int64_t size() override { return file_.size(); }

  private:
    File& file_;
};

class MemorySource final : public BitmapSource {
  public:
    MemorySource(const uint8_t* bytes, std::size_t length) : bytes_(bytes), length_(length) {}
    std::size_t read(void* buffer, std::size_t n) override {
        if (position_ >= length_) return 0;
        const uint64_t left = length_ - position_;
        if (n > left) n = static_cast<std::size_t>(left);
        std::memcpy(buffer, bytes_ + position_, n);
        position_ += n;
        return n;
    }
    // Like a file, the position may lie beyond the end; reads there give 0.
    bool seek(int64_t position) override {
        if (position < 0) return false;
        position_ = static_cast<uint64_t>(position);
        return true;
    }
    int64_t tell() override { return static_cast<int64_t>(position_); }
    int64_t size() override { return static_cast<int64_t>(length_); }

  private:
    const uint8_t* bytes_;
    uint64_t length_;
    uint64_t position_ = 0;
};

}  // namespace

class BitmapLoader {
  public:
    static BitmapBlock load(BitmapSource& source);
};

BitmapBlock BitmapLoader::load(BitmapSource& source) {
    const int64_t start = source.tell();
    const int64_t end = source.size();
    if (start < 0 || end < start) return {};

    // The 14-byte file header is optional: without "BM" the information
    // header starts right away and the pixels follow the colour table.
    uint8_t fileHeader[kFileHeaderSize];
    if (source.read(fileHeader, sizeof fileHeader) != sizeof fileHeader) return {};
    int64_t headerStart = start + kFileHeaderSize;
    uint32_t pixelOffset = 0;
    if (fileHeader[0] == 'B' && fileHeader[1] == 'M') {
        pixelOffset = le32(fileHeader + 10);
    } else {
        if (!source.seek(start)) return {};
        headerStart = start;
    }

    // A core header is 12 bytes; the 40-byte read may then run past the end
    // of a tiny file, which is still a whole picture.
    uint8_t header[kInfoHeaderSize] = {};
    std::size_t got = source.read(header, sizeof header);
    if (got < 4) return {};
    const uint32_t headerSize = le32(header);
    uint32_t colors;
    bool core = false;
    if (headerSize == kInfoHeaderSize) {
        if (got < kInfoHeaderSize) return {};
        colors = le32(header + 32);
        if (colors == 0) colors = colorsForBits(le16(header + 14));
    } else if (headerSize == kCoreHeaderSize) {
        if (got < kCoreHeaderSize) return {};
        core = true;
        const uint16_t width = le16(header + 4), height = le16(header + 6);
        const uint16_t planes = le16(header + 8), bits = le16(header + 10);
        colors = colorsForBits(bits);
        std::memset(header, 0, sizeof header);
        put32(header, kInfoHeaderSize);
        put32(header + 4, width);
        put32(header + 8, height);
        put16(header + 12, planes);
        put16(header + 14, bits);
        put32(header + 32, colors);
        put32(header + 36, colors);
        if (!source.seek(headerStart + kCoreHeaderSize)) return {};
    } else {
        return {};
    }

    // What is refused, and why: the block goes to the system's drawing call
    // as it is, which reads width x height pixels at the bit count (or, for
    // run-length data, imageSize bytes) from it. So the header must describe
    // rows that lie inside the block: no width, height or bit count whose
    // rows are negative, absurd or overflow; no colour table beyond 256
    // entries; no compressed form other than run-length (8 or 4 bits) and
    // bit fields (16 or 32 bits); and no image size smaller than the rows or
    // far larger than the file.
    const int32_t width = static_cast<int32_t>(le32(header + 4));
    int32_t height = static_cast<int32_t>(le32(header + 8));
    const uint32_t bits = le16(header + 14);
    const uint32_t compression = le32(header + 16);
    uint32_t imageSize = le32(header + 20);
    // A negative height marks rows stored top row first. They are turned
    // over once loaded, so the block always holds bottom-up rows.
    const bool topDown = height < 0 && height != INT32_MIN && compression != kBitmapRle8 &&
                         compression != kBitmapRle4;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || !isDrawableBitCount(bits)) return {};
    if (colors > kMaxBitmapColors) return {};
    // Bit fields: three 32-bit masks (red, green, blue) follow the header
    // and take the colour table's place in the block. A table after them
    // would only serve palette displays and is skipped.
    const bool bitFields = compression == kBitmapBitFields && (bits == 16 || bits == 32);
    const uint32_t tableEntries = colors;
    if (bitFields) colors = 0;
    const uint64_t rowBytes = (static_cast<uint64_t>(bits) * width + 31) / 32 * 4;
    if (rowBytes > kMaxPixelBytes / static_cast<uint64_t>(height)) return {};
    const uint64_t rows = rowBytes * height;
    if (compression == kBitmapRgb || bitFields) {
        if (imageSize == 0) imageSize = static_cast<uint32_t>(rows);
        if (imageSize < rows) return {};
    } else if ((compression == kBitmapRle8 && bits == 8) ||
               (compression == kBitmapRle4 && bits == 4)) {
        if (imageSize == 0) return {};  // run-length data needs its length
    } else {
        return {};
    }
    const int64_t masksEnd = source.tell() + (bitFields ? kMaskBytes : 0);
    const int64_t tableInFile = static_cast<int64_t>(tableEntries) * (core ? 3 : 4);
    const int64_t pixelStart = pixelOffset != 0 ? start + pixelOffset : masksEnd + tableInFile;
    // Some writers mark 16-bit rows as bit fields but store no masks; the
    // first pixels would be taken for them.
    if (bitFields && pixelStart < masksEnd) return {};
    const uint64_t available = end > pixelStart ? static_cast<uint64_t>(end - pixelStart) : 0;
    if (imageSize > kMaxPixelBytes || imageSize > available + kMaxMissingPixelBytes) return {};
    put32(header + 20, imageSize);
    put32(header + 32, colors);

    if (topDown) put32(header + 8, static_cast<uint32_t>(height));
    const std::size_t tableBytes =
        4 * static_cast<std::size_t>(colors) + (bitFields ? kMaskBytes : 0);
    const std::size_t total = kInfoHeaderSize + tableBytes + imageSize;
    auto* data = static_cast<uint8_t*>(std::calloc(total, 1));
    if (!data) return {};
    BitmapBlock block(data, total);
    std::memcpy(data, header, sizeof header);

    uint8_t* table = data + kInfoHeaderSize;
    if (core) {
        // 3-byte entries widened in place, last first, so no entry is
        // overwritten before it is moved.
        source.read(table, 3 * static_cast<std::size_t>(colors));
        for (std::size_t i = colors; i-- > 0;) {
            const uint8_t blue = table[3 * i], green = table[3 * i + 1], red = table[3 * i + 2];
            table[4 * i] = blue;
            table[4 * i + 1] = green;
            table[4 * i + 2] = red;
            table[4 * i + 3] = 0;
        }
    } else {
        source.read(table, tableBytes);
    }

    // Without a pixel offset the rows follow the colour table, or for bit
    // fields the masks and any table after them.
    if (!source.seek(pixelStart)) return block;  // rows stay zero
    uint8_t* pixels = table + tableBytes;
    for (std::size_t done = 0; done < imageSize;) {
        std::size_t piece = imageSize - done < kReadPiece ? imageSize - done : kReadPiece;
        std::size_t n = source.read(pixels + done, piece);
        done += n;
        if (n < piece) break;  // the file ends early: the rest stays zero
    }
    for (std::size_t top = 0, bottom = height - 1; topDown && top < bottom; ++top, --bottom)
        for (std::size_t i = 0; i < rowBytes; ++i) {
            uint8_t* a = pixels + top * rowBytes + i;
            uint8_t* b = pixels + bottom * rowBytes + i;
            const uint8_t t = *a;
            *a = *b;
            *b = t;
        }
    return block;
}

BitmapBlock::BitmapBlock(BitmapBlock&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
}

BitmapBlock& BitmapBlock::operator=(BitmapBlock&& other) noexcept {
    if (this != &other) {
        std::free(data_);
        data_ = other.data_;
        size_ = other.size_;
        other.data_ = nullptr;
        other.size_ = 0;
    }
    return *this;
}

BitmapBlock::~BitmapBlock() {
    std::free(data_);
}

uint32_t BitmapBlock::field32(std::size_t at) const {
    return data_ ? le32(data_ + at) : 0;
}
uint16_t BitmapBlock::planes() const {
    return data_ ? le16(data_ + 12) : 0;
}
uint16_t BitmapBlock::bitCount() const {
    return data_ ? le16(data_ + 14) : 0;
}

std::size_t BitmapBlock::rowBytes() const {
    return (static_cast<std::size_t>(bitCount()) * static_cast<std::size_t>(width()) + 31) / 32 * 4;
}

BitmapBlock loadBitmapFile(Platform& platform, const char* path) {
    File file = platform.openFile(path, FileMode::Read);
    if (!file) return {};
    FileSource source(file);
    return BitmapLoader::load(source);  // the file closes as it goes out of scope
}

BitmapBlock loadBitmapBytes(const uint8_t* bytes, std::size_t length) {
    MemorySource source(bytes, length);
    return BitmapLoader::load(source);
}

bool createBitmapPalette(const BitmapBlock& block, BitmapPalette* palette) {
    if (!block || block.headerSize() != kInfoHeaderSize) return false;
    const uint32_t colors = block.colorsUsed();  // <= 256, held by the block
    if (colors > 0) {
        const uint8_t* table = block.colorTable();
        for (uint32_t i = 0; i < colors; ++i)
            palette->entries[i] = {table[4 * i + 2], table[4 * i + 1], table[4 * i], 0};
        palette->count = static_cast<int>(colors);
        return true;
    }
    if (block.bitCount() == 24) {
        // A colour cube for palette displays: red steps fastest through
        // 0, 32, ... 224, then green, then blue in steps of 64.
        for (uint32_t i = 0; i < kMaxBitmapColors; ++i)
            palette->entries[i] = {static_cast<uint8_t>(32 * (i % 8)),
                                   static_cast<uint8_t>(32 * ((i / 8) % 8)),
                                   static_cast<uint8_t>(64 * (i / 64)), 0};
        palette->count = kMaxBitmapColors;
        return true;
    }
    return false;
}

}  // namespace kestrova
