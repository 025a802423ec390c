// kpack's pictures: what image editors write (newer bitmap headers, PNG with
// transparency) is stored as a bitmap the setup's own reader loads, showing
// the same pixels; what cannot be converted is refused with the reason.
#include <gtest/gtest.h>

#include <sstream>

#include "commands.h"
#include "error.h"
#include "formats/bitmap.h"
#include "kpack_fixture.h"
#include "package_builder.h"
#include "picture_convert.h"
#include "picture_files.h"

using namespace kestrova;
using namespace kestrova::kpack;
using test::Rgb;

namespace {

std::vector<uint8_t> bytesOf(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

// The picture kpack stores for a test picture; fails the test on a refusal.
StoredPicture stored(const std::string& file) {
    StoredPicture picture;
    EXPECT_EQ("", makeStoredPicture(bytesOf(test::bitmapDataFile(file)), &picture)) << file;
    return picture;
}

// The pixels (top row first) the setup's reader makes of a stored picture,
// which kpack writes with 8 or 24 bits.
std::vector<Rgb> shownBySetup(const std::vector<uint8_t>& bytes, int* bits = nullptr) {
    const BitmapBlock block = loadBitmapBytes(bytes.data(), bytes.size());
    EXPECT_TRUE(block);
    if (!block) return {};
    EXPECT_EQ(kInfoHeaderSize, block.headerSize());
    EXPECT_EQ(kBitmapRgb, block.compression());
    if (bits) *bits = block.bitCount();
    std::vector<Rgb> pixels;
    for (int y = block.height() - 1; y >= 0; --y) {
        const uint8_t* row = block.pixels() + y * block.rowBytes();
        for (int x = 0; x < block.width(); ++x) {
            const uint8_t* p =
                block.bitCount() == 8 ? block.colorTable() + 4 * row[x] : row + 3 * x;
            pixels.push_back({p[2], p[1], p[0]});
        }
    }
    return pixels;
}

TEST(Pictures, EditorFormsBecomeBitmapsTheSetupDrawsWithTheSamePixels) {
    // A 124-byte header (ImageMagick's and GIMP's default), top-down rows,
    // bit fields, a 4-bit table: nine colours each, stored with 8 bits.
    for (const char* file : {"v5.bmp", "rgb24-topdown.bmp", "bitfields32.bmp", "pal4.bmp"}) {
        const StoredPicture picture = stored(file);
        EXPECT_TRUE(picture.converted) << file;
        EXPECT_EQ(5, picture.width);
        EXPECT_EQ(3, picture.height);
        int bits = 0;
        EXPECT_TRUE(test::readPpm("nine.ppm").pixels == shownBySetup(picture.bytes, &bits)) << file;
        EXPECT_EQ(8, bits) << file;
    }

    // Transparency, from a PNG or a 32-bit bitmap with alpha, is flattened
    // on white: alpha.txt lists the colours and opacities.
    const std::vector<Rgb> onWhite = {{255, 0, 0},     {127, 127, 255}, {255, 255, 255},
                                      {191, 191, 191}, {10, 20, 30},    {212, 133, 94},
                                      {255, 255, 255}, {0, 0, 0}};
    for (const char* file : {"alpha.png", "alpha-v5.bmp"}) {
        const StoredPicture picture = stored(file);
        EXPECT_EQ(4, picture.width);
        EXPECT_EQ(2, picture.height);
        EXPECT_TRUE(onWhite == shownBySetup(picture.bytes)) << file;
    }

    // 289 colours do not fit a colour table: 24 bits.
    const StoredPicture many = stored("many.png");
    int bits = 0;
    const std::vector<Rgb> shown = shownBySetup(many.bytes, &bits);
    EXPECT_EQ(24, bits);
    ASSERT_EQ(17u * 17u, shown.size());
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 17; ++x)
            EXPECT_TRUE(shown[y * 17 + x] == (Rgb{15 * x, 15 * y, 128})) << x << "," << y;
}

TEST(Pictures, BitmapsInTheStoredFormAndRunLengthOnesAreKeptAsTheyAre) {
    for (const char* file : {"rgb24.bmp", "pal8-cu20.bmp", "w3-size0.bmp", "rle8.bmp"}) {
        const StoredPicture picture = stored(file);
        EXPECT_FALSE(picture.converted) << file;
        EXPECT_TRUE(bytesOf(test::bitmapDataFile(file)) == picture.bytes) << file;
    }
}

TEST(Pictures, WhatCannotBeConvertedIsRefusedWithTheReason) {
    auto problem = [](const std::string& bytes) {
        StoredPicture picture;
        return makeStoredPicture(bytesOf(bytes), &picture);
    };
    EXPECT_EQ("is neither a PNG file nor a Windows bitmap (.bmp)", problem("GIF89a..."));
    const std::string png = test::bitmapDataFile("alpha.png");
    EXPECT_EQ(0u, problem(png.substr(0, 60)).find("is a damaged or unsupported PNG file ("));
    // Bit fields without their masks.
    EXPECT_EQ(0u, problem(test::bitmapDataFile("bitfields16.bmp"))
                      .find("is a damaged or unsupported bitmap ("));
    // Bitmaps cut short: both readers would make up the missing rows.
    for (const char* file : {"v5.bmp", "rle8.bmp", "core4.bmp"}) {
        const std::string whole = test::bitmapDataFile(file);
        EXPECT_EQ("ends before its pixel rows do (the file is cut short)",
                  problem(whole.substr(0, whole.size() - 1)))
            << file;
    }
    // A PNG whose header says 5000 pixels wide is refused before decoding.
    std::string wide = png;
    wide[16 + 2] = static_cast<char>(5000 >> 8);
    wide[16 + 3] = static_cast<char>(5000 & 255);
    EXPECT_EQ("is 5000 x 2 pixels; the setup takes pictures of at most 4096 x 4096", problem(wide));
}

TEST(Pictures, BuildConvertsWarnsAboutSizesAndVerifyAccepts) {
    test::ProductFolder product;
    product.source("art/welcome.bmp", test::bitmapDataFile("v5.bmp"));
    product.source("art/title.png", test::bitmapDataFile("alpha.png"));
    product.source("art/splash.png", test::bitmapDataFile("many.png"));
    std::string manifest = test::replaced(test::kMinimalManifest, "welcome = \"welcome.bmp\"",
                                          "welcome = \"art/welcome.bmp\"");
    manifest = test::replaced(manifest, "title = \"title.bmp\"",
                              "title = \"art/title.png\"\nsplash = \"art/splash.png\"");
    product.manifest(manifest);
    const BuildOptions o = product.options("setup.exe");
    const BuildSummary summary = buildPackage(o);
    // The splash picture may have any size.
    const std::vector<std::string> warnings = {
        "kpack: product.toml:6: warning: pictures.welcome: art/welcome.bmp is 5 x 3 pixels; "
        "the welcome page's left is 164 x 314 and the picture is drawn unscaled",
        "kpack: product.toml:7: warning: pictures.title: art/title.png is 4 x 2 pixels; the "
        "band above pages 2 to 5 is 548 x 64 and the picture is drawn unscaled"};
    EXPECT_EQ(warnings, summary.warnings);

    std::ostringstream verdict;
    verifyPackage(o.output, "setup.exe", verdict);
    EXPECT_EQ(0u, verdict.str().find("setup.exe: OK: ")) << verdict.str();
    const fs::path out = product / "out";
    extractPackage(o.output, "setup.exe", out);
    EXPECT_TRUE(test::readPpm("nine.ppm").pixels ==
                shownBySetup(test::readWholeFile(out / "welcome.bmp")));
    EXPECT_TRUE(stored("alpha.png").bytes == test::readWholeFile(out / "title.bmp"));
    EXPECT_TRUE(stored("many.png").bytes == test::readWholeFile(out / "splash.bmp"));
}

}  // namespace
