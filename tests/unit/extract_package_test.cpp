// Extraction: the temporary names, the unpacked script, licence and
// pictures, and the package read error for damaged packages.
#include "startup/extract_package.h"

#include <gtest/gtest.h>

#include "fake_platform.h"
#include "package_builder.h"
#include "resources/texts.h"

using kestrova::test::FakePlatform;
using kestrova::test::PackageBuilder;
namespace k = kestrova;

namespace {

const char kPrefix[] = "C:\\TEMP\\~temp20043597345";

class ExtractTest : public ::testing::Test {
  protected:
    void SetUp() override {
        builder.productName = "演示软件";
        builder.installDir = "[Program Files]\\演示";
        builder.welcome = std::string(70, 'w');
        builder.splash = std::string(90, 's');
        builder.title = std::string(50, 't');
        builder.licence = "<html>许可协议</html>";
        builder.addFile("[InstallDir]\\a.txt", "a");
        builder.addNoneApp();
        builder.addFile("[InstallDir]\\b.txt", "bb");
    }
    bool extract(const std::string& bytes) {
        platform.writeFile(platform.module, bytes);
        k::LzssDecoder decoder(platform, state, platform.user());
        return k::extractPackage(platform, platform.user(owner), state, decoder);
    }
    bool tempFilesGone() {
        for (const char* suffix : {".ini", "Doc.htm", "Wel.Bmp", "Soft.Bmp", "Title.Bmp"})
            if (platform.exists(std::string(kPrefix) + suffix)) return false;
        return true;
    }
    void expectPackageReadError() {
        ASSERT_EQ(1u, platform.messageBoxes.size());
        EXPECT_EQ(k::texts::kPackageReadError, platform.messageBoxes[0].text);
        EXPECT_EQ(k::texts::kCaptionError, platform.messageBoxes[0].caption);
        EXPECT_EQ(owner, platform.messageBoxes[0].owner);
        EXPECT_TRUE(tempFilesGone());
        EXPECT_FALSE(platform.exists("C:\\Program Files"));
    }

    FakePlatform platform;
    k::SetupState state;
    PackageBuilder builder;
    k::WindowRef owner = reinterpret_cast<k::WindowRef>(0x99);
};

TEST(TimeStamp, HasNoPaddingOrSeparators) {
    char stamp[40];
    k::timeStamp({2004, 3, 5, 5, 9, 7, 3, 45}, stamp, sizeof stamp);
    EXPECT_STREQ("20043597345", stamp);
    // 11 January and 1 November give the same digits.
    char other[40];
    k::timeStamp({2005, 1, 0, 11, 10, 0, 0, 0}, stamp, sizeof stamp);
    k::timeStamp({2005, 11, 0, 1, 10, 0, 0, 0}, other, sizeof other);
    EXPECT_STREQ(stamp, other);
}

TEST(TempNames, FollowTheTemporaryFolder) {
    FakePlatform platform;
    k::SetupState state;
    ASSERT_TRUE(k::makeTempNames(platform, state));
    EXPECT_EQ(std::string(kPrefix) + ".ini", state.scriptPath);
    EXPECT_EQ(std::string(kPrefix) + "Doc.htm", state.licencePath);
    EXPECT_EQ(std::string(kPrefix) + "Title.Bmp", state.titlePicturePath);
    platform.temp = "C:\\TEMP";
    ASSERT_TRUE(k::makeTempNames(platform, state));
    EXPECT_EQ(std::string(kPrefix) + "Wel.Bmp", state.welcomePicturePath);
    platform.temp = "";
    ASSERT_TRUE(k::makeTempNames(platform, state));
    EXPECT_EQ("\\~temp20043597345Soft.Bmp", std::string(state.softPicturePath));
}

TEST_F(ExtractTest, UnpacksScriptLicenceAndPicturesAndFillsTheState) {
    ASSERT_TRUE(extract(builder.build()));
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(builder.script(), platform.readFile(std::string(kPrefix) + ".ini"));
    EXPECT_EQ(builder.licence, platform.readFile(std::string(kPrefix) + "Doc.htm"));
    EXPECT_EQ(builder.welcome, platform.readFile(std::string(kPrefix) + "Wel.Bmp"));
    EXPECT_EQ(builder.splash, platform.readFile(std::string(kPrefix) + "Soft.Bmp"));
    EXPECT_EQ(builder.title, platform.readFile(std::string(kPrefix) + "Title.Bmp"));
    EXPECT_TRUE(state.hasSoftPicture);
    EXPECT_STREQ("演示软件", state.productName);
    EXPECT_STREQ("C:\\Program Files\\演示", state.installDir);
    EXPECT_EQ(2, state.fileCount);
    EXPECT_EQ(builder.recordBase(), state.packageOffset);
    EXPECT_STREQ("C:\\Downloads\\setup.exe", state.packagePath);
}

TEST_F(ExtractTest, EmptySplashRecordMeansNoSplash) {
    builder.splash.clear();
    builder.welcome.clear();
    ASSERT_TRUE(extract(builder.build()));
    EXPECT_FALSE(state.hasSoftPicture);
    EXPECT_FALSE(platform.exists(std::string(kPrefix) + "Soft.Bmp"));
    EXPECT_TRUE(platform.exists(std::string(kPrefix) + "Wel.Bmp"));  // empty, but there
    EXPECT_EQ("", platform.readFile(std::string(kPrefix) + "Wel.Bmp"));
}

TEST_F(ExtractTest, TruncatedDownloadsAreAPackageReadError) {
    std::string whole = builder.build();
    // Cut inside the last file stream, inside the script stream, inside the
    // header, and right after the stub.
    for (std::size_t size :
         {whole.size() - 1, static_cast<std::size_t>(0x43000 + 60),
          static_cast<std::size_t>(0x43000 + 10), static_cast<std::size_t>(0x43000)}) {
        SCOPED_TRACE(size);
        platform.messageBoxes.clear();
        EXPECT_FALSE(extract(whole.substr(0, size)));
        expectPackageReadError();
    }
}

TEST_F(ExtractTest, GarbageAndDamagedPackagesAreAPackageReadError) {
    std::string garbage(0x43000, '\0');
    for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
    EXPECT_FALSE(extract(garbage));
    expectPackageReadError();

    platform.messageBoxes.clear();
    builder.fileCountAdjust = 1;
    EXPECT_FALSE(extract(builder.build()));
    expectPackageReadError();
}

TEST_F(ExtractTest, UnopenableProgramFileIsAPackageReadError) {
    platform.writeFile(platform.module, builder.build());
    platform.failOpens.insert(platform.module);
    k::LzssDecoder decoder(platform, state, platform.user());
    EXPECT_FALSE(k::extractPackage(platform, platform.user(owner), state, decoder));
    expectPackageReadError();
}

TEST_F(ExtractTest, LicenceFileThatCannotBeCreatedIsReportedAndStartUpGoesOn) {
    platform.failOpens.insert(std::string(kPrefix) + "Doc.htm");
    ASSERT_TRUE(extract(builder.build()));
    ASSERT_EQ(1u, platform.messageBoxes.size());
    EXPECT_EQ(std::string(kPrefix) + "Doc.htm", platform.messageBoxes[0].text);
    EXPECT_EQ(k::texts::kCaptionCreateFileError, platform.messageBoxes[0].caption);
    EXPECT_EQ(nullptr, platform.messageBoxes[0].owner);
    EXPECT_EQ(builder.title, platform.readFile(std::string(kPrefix) + "Title.Bmp"));
}

}  // namespace
