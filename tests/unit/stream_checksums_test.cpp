// Stream checksums: the CRC itself, and start-up refusing a package whose
// bytes changed after it was built, while a package without checksums (what
// older tools made) is read as before.
#include "package/stream_checksums.h"

#include <gtest/gtest.h>

#include "fake_platform.h"
#include "package/crc32.h"
#include "package/format.h"
#include "package_builder.h"
#include "resources/texts.h"
#include "startup/extract_package.h"

using kestrova::test::FakePlatform;
using kestrova::test::PackageBuilder;
namespace k = kestrova;

namespace {

TEST(Crc32, MatchesTheCommonCheckValueInAnyPieces) {
    const std::string text = "123456789";
    EXPECT_EQ(0xCBF43926u, k::crc32(text.data(), text.size()));
    EXPECT_EQ(0u, k::crc32(nullptr, 0));
    // Longer than one eight-byte step, fed in uneven pieces.
    std::string bytes;
    for (int i = 0; i < 1000; ++i) bytes += static_cast<char>(i * 37 + i / 7);
    const uint32_t whole = k::crc32(bytes.data(), bytes.size());
    uint32_t pieces = 0;
    for (std::size_t at = 0, n = 1; at < bytes.size(); at += n, n = n * 3 % 17 + 1)
        pieces = k::crc32Update(pieces, bytes.data() + at, std::min(n, bytes.size() - at));
    EXPECT_EQ(whole, pieces);
    char digits[8];
    k::formatChecksum(0x0A1B2C3Du, digits);
    uint32_t back = 0;
    EXPECT_EQ("0A1B2C3D", std::string(digits, 8));
    EXPECT_TRUE(k::parseChecksum("0a1b2c3d", 8, &back));
    EXPECT_EQ(0x0A1B2C3Du, back);
    EXPECT_FALSE(k::parseChecksum("0A1B2C3", 7, &back));
    EXPECT_FALSE(k::parseChecksum("0A1B2C3G", 8, &back));
}

class ChecksumTest : public ::testing::Test {
  protected:
    void SetUp() override {
        builder.checksums = true;
        builder.splash = std::string(90, 's');
        builder.addFile("[InstallDir]\\a.txt", std::string(300, 'a'));
        builder.addNoneApp();
        builder.addFile("[InstallDir]\\b.txt", std::string(200, 'b'));
    }
    bool extract(const std::string& bytes) {
        platform.messageBoxes.clear();
        platform.writeFile(platform.module, bytes);
        k::SetupState state;
        k::LzssDecoder decoder(platform, state, platform.user());
        return k::extractPackage(platform, platform.user(nullptr), state, decoder);
    }
    // The package read error was shown and no temporary file is left.
    void expectRefused() {
        ASSERT_EQ(1u, platform.messageBoxes.size());
        EXPECT_EQ(k::texts::kPackageReadError, platform.messageBoxes[0].text);
        for (const char* suffix : {".ini", "Doc.htm", "Wel.Bmp", "Soft.Bmp", "Title.Bmp"})
            EXPECT_FALSE(platform.exists(std::string("C:\\TEMP\\~temp20043597345") + suffix));
    }
    static std::string flipped(std::string bytes, long at) {
        bytes[at] ^= 0x01;
        return bytes;
    }

    FakePlatform platform;
    PackageBuilder builder;
};

TEST_F(ChecksumTest, IntactPackageIsReadAndEveryDamagedStreamIsRefused) {
    const std::string good = builder.build();
    ASSERT_TRUE(extract(good));
    EXPECT_TRUE(platform.messageBoxes.empty());

    // A literal byte in each stream: the script (inside a record's path, so
    // the script still has every section), a picture, and the file after
    // the <NoneApp> marker. The structure stays sound; only the checksums
    // can tell. The builder's streams hold literals only: a flag byte before
    // every eight bytes.
    auto encodedAt = [](std::size_t decoded) {
        return static_cast<long>(decoded / 8 * 9 + 1 + decoded % 8);
    };
    const long script = k::kPackageStart + 40;
    const long splash = builder.recordBase() + 40 +
                        static_cast<long>(PackageBuilder::encode(builder.welcome).size());
    struct Damage {
        const char* what;
        long at;
    } damages[] = {
        {"script", script + encodedAt(builder.script().find("[InstallDir]\\a.txt") + 3)},
        {"splash picture", splash + encodedAt(5)},
        {"file after <NoneApp>", builder.streamPosition(2) + encodedAt(100)},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        ASSERT_LT(d.at, static_cast<long>(good.size()));
        EXPECT_FALSE(extract(flipped(good, d.at)));
        expectRefused();
    }
    // A checksum digit of the header itself changed to another digit.
    std::string header = good;
    char& digit = header[k::kPackageStart + 19];
    digit = digit == '0' ? '1' : '0';
    EXPECT_FALSE(extract(header));
    expectRefused();
}

TEST_F(ChecksumTest, PackagesWithoutChecksumsAreReadAsBefore) {
    builder.checksums = false;
    const std::string old = builder.build();
    // A changed byte inside a file stream cannot be seen without checksums:
    // start-up goes on as it always did.
    EXPECT_TRUE(extract(flipped(old, builder.streamPosition(0) + 50)));
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(ChecksumTest, HeaderChecksumWithoutTheScriptsSectionIsRefused) {
    // A header that promises checksums over a script that has none: the
    // section was lost, so the streams cannot be trusted.
    PackageBuilder bare = builder;
    bare.checksums = false;
    std::string bytes = bare.build();
    const std::string encoded = PackageBuilder::encode(bare.script());
    char digits[8];
    k::formatChecksum(k::crc32(encoded.data(), encoded.size()), digits);
    bytes[k::kPackageStart + 11] = '\0';
    bytes.replace(k::kPackageStart + 12, 8, digits, 8);
    EXPECT_FALSE(extract(bytes));
    expectRefused();
}

}  // namespace
