// The .bmp reader: pictures made by ImageMagick (tests/data/bitmaps, see
// make-bitmaps.sh) must load to the pixels and colours of the .ppm they were
// made from; damaged and hostile headers must load to nothing, without a
// read outside the file or an absurd allocation.
#include "formats/bitmap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "fake_platform.h"
#include "picture_files.h"

namespace kestrova {
using kestrova::test::bitmapDataFile;
using kestrova::test::Ppm;
using kestrova::test::readPpm;
using kestrova::test::Rgb;

namespace {

BitmapBlock load(const std::string& bytes) {
    return loadBitmapBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

uint32_t le(const uint8_t* p, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

// A channel of a pixel under a bit-field mask, widened to 8 bits.
int channel(uint32_t pixel, uint32_t mask) {
    if (mask == 0) return -1;
    while (!(mask & 1)) mask >>= 1, pixel >>= 1;
    return static_cast<int>((pixel & mask) * 255 / mask);
}

// The colour a block shows at (x, y), counted from the top, decoded from
// its stored rows (bottom row first) and colour table. 16 and 32-bit pixels
// follow the block's masks, or without them are 5-5-5 and 8-8-8.
Rgb pixelAt(const BitmapBlock& block, int x, int y) {
    const uint8_t* row = block.pixels() + (block.height() - 1 - y) * block.rowBytes();
    auto fromTable = [&](uint32_t index) {
        const uint8_t* e = block.colorTable() + 4 * index;
        return Rgb{e[2], e[1], e[0]};
    };
    switch (block.bitCount()) {
        case 1:
            return fromTable(row[x / 8] >> (7 - x % 8) & 1);
        case 4:
            return fromTable(x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4);
        case 8:
            return fromTable(row[x]);
        case 16:
        case 32: {
            const bool masked = block.compression() == kBitmapBitFields;
            const uint8_t* m = block.colorTable();
            const uint32_t red = masked ? le(m, 4) : block.bitCount() == 16 ? 0x7C00 : 0xFF0000;
            const uint32_t green = masked ? le(m + 4, 4) : block.bitCount() == 16 ? 0x3E0 : 0xFF00;
            const uint32_t blue = masked ? le(m + 8, 4) : block.bitCount() == 16 ? 0x1F : 0xFF;
            const int bytes = block.bitCount() / 8;
            const uint32_t v = le(row + bytes * x, bytes);
            return Rgb{channel(v, red), channel(v, green), channel(v, blue)};
        }
        case 24:
            return Rgb{row[3 * x + 2], row[3 * x + 1], row[3 * x]};
    }
    return Rgb{-1, -1, -1};
}

void expectShows(const BitmapBlock& block, const Ppm& ppm, const std::string& name) {
    ASSERT_TRUE(block) << name;
    ASSERT_EQ(ppm.width, block.width()) << name;
    ASSERT_EQ(ppm.height, block.height()) << name;
    for (int y = 0; y < ppm.height; ++y)
        for (int x = 0; x < ppm.width; ++x) {
            Rgb want = ppm.at(x, y);
            Rgb got = pixelAt(block, x, y);
            // 5 bits of a colour are within one step (8.2) of its 8 bits.
            int slack = block.bitCount() == 16 ? 8 : 0;
            bool near = std::abs(want.r - got.r) <= slack && std::abs(want.g - got.g) <= slack &&
                        std::abs(want.b - got.b) <= slack;
            EXPECT_TRUE(near) << name << " at " << x << "," << y << ": " << got.r << " " << got.g
                              << " " << got.b;
        }
}

void put32(std::string& bytes, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<char>(v >> (8 * i));
}
void put16(std::string& bytes, std::size_t at, uint16_t v) {
    bytes.at(at) = static_cast<char>(v);
    bytes.at(at + 1) = static_cast<char>(v >> 8);
}

TEST(Bitmap, LoadsEveryFormToThePixelsItShows) {
    struct Case {
        const char* file;
        const char* ppm;
        int bits;
        uint32_t colors;
    } cases[] = {
        {"mono1.bmp", "mono.ppm", 1, 2},        {"mono1-cu0.bmp", "mono.ppm", 1, 2},
        {"core1.bmp", "mono.ppm", 1, 2},        {"pal4.bmp", "nine.ppm", 4, 16},
        {"pal4-cu0.bmp", "nine.ppm", 4, 16},    {"core4.bmp", "nine.ppm", 4, 16},
        {"pal8.bmp", "twenty.ppm", 8, 256},     {"pal8-cu0.bmp", "twenty.ppm", 8, 256},
        {"pal8-cu20.bmp", "twenty.ppm", 8, 20}, {"pal8-cu20-nohdr.bmp", "twenty.ppm", 8, 20},
        {"core8.bmp", "twenty.ppm", 8, 256},    {"rgb16.bmp", "nine.ppm", 16, 0},
        {"rgb24.bmp", "nine.ppm", 24, 0},       {"rgb24-nohdr.bmp", "nine.ppm", 24, 0},
        {"rgb32.bmp", "nine.ppm", 32, 0},
    };
    for (const Case& c : cases) {
        BitmapBlock block = load(bitmapDataFile(c.file));
        expectShows(block, readPpm(c.ppm), c.file);
        if (!block) continue;
        EXPECT_EQ(kInfoHeaderSize, block.headerSize()) << c.file;
        EXPECT_EQ(c.bits, block.bitCount()) << c.file;
        EXPECT_EQ(c.colors, block.colorsUsed()) << c.file;
        EXPECT_EQ(block.rowBytes() * block.height(), block.imageSize()) << c.file;
        EXPECT_EQ(kInfoHeaderSize + 4 * c.colors + block.imageSize(), block.size()) << c.file;
    }
}

TEST(Bitmap, CoreHeaderLoadsLikeItsInformationHeaderTwin) {
    const char* twins[][2] = {
        {"core1.bmp", "mono1.bmp"}, {"core4.bmp", "pal4.bmp"}, {"core8.bmp", "pal8-cu0.bmp"}};
    for (auto& twin : twins) {
        BitmapBlock core = load(bitmapDataFile(twin[0]));
        BitmapBlock info = load(bitmapDataFile(twin[1]));
        ASSERT_TRUE(core && info) << twin[0];
        EXPECT_EQ(info.width(), core.width());
        EXPECT_EQ(info.height(), core.height());
        EXPECT_EQ(info.planes(), core.planes());
        EXPECT_EQ(info.bitCount(), core.bitCount());
        EXPECT_EQ(0u, core.compression());
        EXPECT_EQ(core.colorsUsed(), core.colorsImportant());
        // Colour table and rows, byte for byte (the 3-byte entries widened).
        ASSERT_EQ(info.size(), core.size()) << twin[0];
        EXPECT_EQ(0,
                  std::memcmp(info.colorTable(), core.colorTable(), info.size() - kInfoHeaderSize))
            << twin[0];
    }
}

TEST(Bitmap, PaletteComesFromTheTableOrTheColourCube) {
    BitmapPalette palette;
    ASSERT_TRUE(createBitmapPalette(load(bitmapDataFile("pal8-cu20.bmp")), &palette));
    ASSERT_EQ(20, palette.count);
    std::set<Rgb> inPalette, inPicture;
    for (int i = 0; i < palette.count; ++i) {
        const PaletteEntry& e = palette.entries[i];
        inPalette.insert({e.red, e.green, e.blue});
        EXPECT_EQ(0, e.flags);
    }
    for (const Rgb& c : readPpm("twenty.ppm").pixels) inPicture.insert(c);
    EXPECT_EQ(inPicture, inPalette);

    ASSERT_TRUE(createBitmapPalette(load(bitmapDataFile("pal8-cu0.bmp")), &palette));
    EXPECT_EQ(256, palette.count);
    ASSERT_TRUE(createBitmapPalette(load(bitmapDataFile("core4.bmp")), &palette));
    EXPECT_EQ(16, palette.count);

    ASSERT_TRUE(createBitmapPalette(load(bitmapDataFile("rgb24.bmp")), &palette));
    ASSERT_EQ(256, palette.count);
    auto rgb = [&](int i) {
        const PaletteEntry& e = palette.entries[i];
        return Rgb{e.red, e.green, e.blue};
    };
    EXPECT_TRUE(rgb(0) == (Rgb{0, 0, 0}));
    EXPECT_TRUE(rgb(9) == (Rgb{32, 32, 0}));
    EXPECT_TRUE(rgb(64) == (Rgb{0, 0, 64}));
    EXPECT_TRUE(rgb(255) == (Rgb{224, 224, 192}));

    palette.count = -1;
    EXPECT_FALSE(createBitmapPalette(load(bitmapDataFile("rgb16.bmp")), &palette));
    EXPECT_FALSE(createBitmapPalette(load(bitmapDataFile("rgb32.bmp")), &palette));
    EXPECT_FALSE(createBitmapPalette(BitmapBlock(), &palette));
    EXPECT_EQ(-1, palette.count);
}

TEST(Bitmap, ImageSizeZeroIsComputedWithRowsPaddedToFourBytes) {
    BitmapBlock block = load(bitmapDataFile("w3-size0.bmp"));
    expectShows(block, readPpm("three.ppm"), "w3-size0.bmp");
    EXPECT_EQ(12u, block.rowBytes());  // 9 bytes of pixels, 3 of padding
    EXPECT_EQ(24u, block.imageSize());
}

TEST(Bitmap, FileThatEndsEarlyKeepsItsRowsAndZeroTheRest) {
    BitmapBlock block = load(bitmapDataFile("rgb24-truncated.bmp"));  // 30 of 48 pixel bytes
    ASSERT_TRUE(block);
    ASSERT_EQ(48u, block.imageSize());
    Ppm ppm = readPpm("nine.ppm");
    for (int x = 0; x < 5; ++x) EXPECT_TRUE(ppm.at(x, 2) == pixelAt(block, x, 2)) << x;
    for (int i = 30; i < 48; ++i) EXPECT_EQ(0, block.pixels()[i]) << i;
}

TEST(Bitmap, ShortFilesAndUnknownHeadersAreNotLoaded) {
    std::string rgb24 = bitmapDataFile("rgb24.bmp");
    EXPECT_FALSE(load(bitmapDataFile("rgb24-badsize.bmp")));
    EXPECT_FALSE(load(""));
    EXPECT_FALSE(load(rgb24.substr(0, 13)));       // no whole file header
    EXPECT_FALSE(load(rgb24.substr(0, 14 + 39)));  // no whole information header
    EXPECT_TRUE(load(rgb24.substr(0, 14 + 40)));   // headers only: the rows are zero
    // A whole core picture shorter than the 40 bytes of an information
    // header still loads.
    std::string core1 = bitmapDataFile("core1.bmp");
    ASSERT_LT(core1.size(), 14u + 40u);
    EXPECT_TRUE(load(core1));
}

TEST(Bitmap, RunLengthPicturesLoadAsTheyAre) {
    BitmapBlock rle = load(bitmapDataFile("rle8.bmp"));
    ASSERT_TRUE(rle);
    EXPECT_EQ(kBitmapRle8, rle.compression());
    EXPECT_EQ(0x3Au, rle.imageSize());
    EXPECT_EQ(kInfoHeaderSize + 4 * 256 + 0x3Au, rle.size());
}

// Forms other tools write: rows stored top row first are turned over into
// the block's bottom-up order; bit-field masks are kept after the header,
// where the system's drawing call looks for them.
TEST(Bitmap, TopDownRowsAndBitFieldMasksLoad) {
    const struct {
        const char* file;
        const char* ppm;
        uint32_t masks[3];
    } cases[] = {
        {"rgb24-topdown.bmp", "nine.ppm", {}},
        {"pal8-topdown.bmp", "twenty.ppm", {}},
        {"bitfields565.bmp", "nine.ppm", {0xF800, 0x07E0, 0x001F}},
        {"bitfields555.bmp", "nine.ppm", {0x7C00, 0x03E0, 0x001F}},
        {"bitfields32.bmp", "nine.ppm", {0xFF0000, 0xFF00, 0xFF}},
    };
    for (const auto& c : cases) {
        BitmapBlock block = load(bitmapDataFile(c.file));
        expectShows(block, readPpm(c.ppm), c.file);
        if (!block || !c.masks[0]) continue;
        EXPECT_EQ(kBitmapBitFields, block.compression()) << c.file;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(c.masks[i], le(block.colorTable() + 4 * i, 4));
        EXPECT_EQ(kInfoHeaderSize + 12 + block.imageSize(), block.size()) << c.file;
    }

    // ImageMagick's own 16-bit file says bit fields but holds no masks: its
    // first pixels would be taken for them.
    EXPECT_FALSE(load(bitmapDataFile("bitfields16.bmp")));
    // Without a file header the rows follow the masks and any colour table
    // after them (which the block leaves out).
    std::string noHeader = bitmapDataFile("bitfields565.bmp").substr(14);
    noHeader.insert(40 + 12, 8, '\x7F');
    put32(noHeader, 32, 2);
    expectShows(load(noHeader), readPpm("nine.ppm"), "565 with a table, without file header");
}

TEST(Bitmap, HostileHeadersAreRejectedWithoutReadingOutside) {
    const std::string rgb24 = bitmapDataFile("rgb24.bmp");  // 5 x 3, 24 bits, 48 pixel bytes
    const std::string pal8 = bitmapDataFile("pal8-cu20.bmp");
    auto with = [](std::string bytes, std::size_t at, uint32_t v) {
        put32(bytes, at, v);
        return bytes;
    };
    const std::size_t width = 18, height = 22, bits = 28, imageSize = 34, colorsUsed = 46;
    EXPECT_FALSE(load(with(rgb24, width, 0x7FFFFFFF)));
    EXPECT_FALSE(load(with(with(rgb24, width, 100000), height, 100000)));
    EXPECT_FALSE(load(with(rgb24, width, static_cast<uint32_t>(-5))));
    EXPECT_FALSE(load(with(rgb24, width, 0)));
    EXPECT_FALSE(load(with(rgb24, height, 0x80000000u)));
    EXPECT_FALSE(load(with(with(rgb24, width, 100000), height, static_cast<uint32_t>(-100000))));
    // Run-length data is never top-down; bit fields are for 16 and 32 bits.
    EXPECT_FALSE(load(with(bitmapDataFile("rle8.bmp"), height, static_cast<uint32_t>(-4))));
    std::string masked8 = bitmapDataFile("bitfields565.bmp");
    put16(masked8, bits, 8);
    EXPECT_FALSE(load(masked8));
    std::string oddBits = rgb24;
    put16(oddBits, bits, 0xFFFF);
    EXPECT_FALSE(load(oddBits));
    put16(oddBits, bits, 7);
    EXPECT_FALSE(load(oddBits));
    EXPECT_FALSE(load(with(pal8, colorsUsed, 1000000)));
    EXPECT_FALSE(load(with(pal8, colorsUsed, 257)));
    EXPECT_TRUE(load(with(pal8, colorsUsed, 256)));
    EXPECT_FALSE(load(with(rgb24, imageSize, 0xFFFFFFFFu)));
    EXPECT_FALSE(load(with(rgb24, imageSize, 100u << 20)));
    EXPECT_FALSE(load(with(rgb24, imageSize, 47)));  // smaller than its rows
    EXPECT_TRUE(load(with(rgb24, imageSize, 50)));   // a little larger is harmless

    // More rows than the file holds: a little short loads zero-filled, a
    // header promising megabytes the file does not have does not load.
    std::string small = with(with(rgb24, width, 200), height, 100);  // 60,000 bytes
    EXPECT_TRUE(load(with(small, imageSize, 0)));
    std::string large = with(with(rgb24, width, 2000), height, 2000);  // 12 MB
    EXPECT_FALSE(load(with(large, imageSize, 0)));

    // A pixel offset past the end of the file leaves the rows zero.
    BitmapBlock far = load(with(rgb24, 10, 0xFFFFFFF0u));
    ASSERT_TRUE(far);
    for (uint32_t i = 0; i < far.imageSize(); ++i) EXPECT_EQ(0, far.pixels()[i]);

    // A core header of 65535 x 65535 at 24 bits.
    std::string core = bitmapDataFile("core4.bmp");
    put16(core, 18, 0xFFFF);
    put16(core, 20, 0xFFFF);
    put16(core, 24, 24);
    EXPECT_FALSE(load(core));
}

TEST(Bitmap, LoadsThroughThePlatform) {
    test::FakePlatform fake;
    std::string bytes = bitmapDataFile("pal4.bmp");
    fake.writeFile("C:\\TEMP\\Wel.Bmp", bytes);
    BitmapBlock fromFile = loadBitmapFile(fake, "C:\\TEMP\\Wel.Bmp");
    BitmapBlock fromBytes = load(bytes);
    ASSERT_TRUE(fromFile && fromBytes);
    ASSERT_EQ(fromBytes.size(), fromFile.size());
    EXPECT_EQ(0, std::memcmp(fromBytes.data(), fromFile.data(), fromFile.size()));
    EXPECT_FALSE(loadBitmapFile(fake, "C:\\TEMP\\Soft.Bmp"));
}

}  // namespace
}  // namespace kestrova
