// The unattended install: reading "/S" and "/D=", the answers given in
// place of the user's, and the whole run on the fake platform with its exit
// code for each way it ends.
#include "startup/silent_install.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_platform.h"
#include "package_builder.h"
#include "resources/texts.h"

using kestrova::test::FakePlatform;
using kestrova::test::PackageBuilder;
namespace k = kestrova;

namespace {

TEST(CommandLine, ReadsSilentAndTheFolderAsNsisUsersWriteThem) {
    EXPECT_STREQ("/S", k::skipProgramName("\"C:\\Program Files\\my setup.exe\" /S"));
    EXPECT_STREQ("/S /D=C:\\x", k::skipProgramName("setup.exe \t/S /D=C:\\x"));
    EXPECT_STREQ("", k::skipProgramName("setup.exe"));

    EXPECT_FALSE(k::parseCommandLine("").silent);
    EXPECT_TRUE(k::parseCommandLine("/S").silent);
    EXPECT_FALSE(k::parseCommandLine("/s").silent);  // case-sensitive, as elsewhere
    EXPECT_FALSE(k::parseCommandLine("/SILENT").silent);
    EXPECT_TRUE(k::parseCommandLine("/foo /S bar").silent);

    k::CommandLine line = k::parseCommandLine("/S /D=C:\\Other Folder\\ ");
    EXPECT_TRUE(line.silent);
    EXPECT_TRUE(line.hasFolder && line.folderAccepted);
    EXPECT_STREQ("C:\\Other Folder", line.folder);  // blanks and one backslash dropped

    // "/D=" takes the rest of the line: a "/S" after it is part of the folder.
    line = k::parseCommandLine("/D=C:\\a /S");
    EXPECT_FALSE(line.silent);
    EXPECT_STREQ("C:\\a /S", line.folder);

    // Quotes are not taken off: such a folder is refused, not guessed.
    line = k::parseCommandLine("/S /D=\"C:\\Other\"");
    EXPECT_TRUE(line.hasFolder);
    EXPECT_FALSE(line.folderAccepted);
    EXPECT_FALSE(
        k::parseCommandLine(("/S /D=C:\\" + std::string(600, 'x')).c_str()).folderAccepted);
}

TEST(CommandLine, AppliesTheFolderPagesPathRule) {
    auto folder = [](const std::string& text) {
        k::CommandLine line = k::parseCommandLine(("/S /D=" + text).c_str());
        return line.folderAccepted ? std::string(line.folder) : std::string("refused");
    };
    for (const char* refused : {"C:\\", "C:", "C:\\\\x", "C:\\/x", "C:/x", "1:\\x", "CC\\x", ""})
        EXPECT_EQ("refused", folder(refused)) << refused;
    EXPECT_EQ("d:\\x", folder("d:\\x"));
    EXPECT_EQ("C:\\x\\", folder("C:\\x\\\\"));  // only one backslash goes
    // 0x5C as the second byte of a GBK character is part of its name.
    EXPECT_EQ("C:\\\xD5\xE6\x95\x5C", folder("C:\\\xD5\xE6\x95\x5C"));
}

TEST(SilentAnswer, GivesTheSafeAnswerAndRemembersErrors) {
    k::SilentReport report;
    EXPECT_EQ(k::kIdNo, k::silentAnswer(k::texts::kQuitQuestion, k::texts::kCaptionQuit,
                                        k::kMbYesNo | k::kMbIconQuestion, report));
    EXPECT_FALSE(report.fileFailed || report.otherError || report.packageReadError);
    EXPECT_EQ(k::kIdYes,
              k::silentAnswer("创建C:\\x时出错，是否终止软件的安装？", k::texts::kCaptionError,
                              k::kMbYesNo | k::kMbIconQuestion, report));
    EXPECT_TRUE(report.fileFailed);
    EXPECT_EQ(k::kIdOk, k::silentAnswer(k::texts::kSetupFileReadError, k::texts::kCaptionError,
                                        k::kMbOk, report));
    EXPECT_TRUE(report.packageReadError);
    EXPECT_FALSE(report.otherError);
    k::silentAnswer(k::texts::kLogOpenError, k::texts::kCaptionError, k::kMbOk, report);
    EXPECT_TRUE(report.otherError);
}

class SilentRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        builder.productName = "演示";
        builder.installDir = "[Program Files]\\演示";
        builder.checksums = true;
        builder.directories = {"[InstallDir]", "[InstallDir]\\bin"};
        builder.addFile("[InstallDir]\\bin\\a.txt", "alpha");
        builder.addFile("[InstallDir]\\b.txt", "beta");
    }
    int run(const char* arguments, const std::string& setup) {
        platform.writeFile(platform.module, setup);
        platform.report = k::SilentReport();
        k::SetupState state;
        const k::CommandLine line = k::parseCommandLine(arguments);
        EXPECT_TRUE(line.silent);
        return k::runSilentInstall(platform, state, platform.report, line);
    }
    bool tempIsEmpty() {
        return platform.isFolder("C:\\TEMP") && !platform.exists("C:\\TEMP\\~temp20043597345.ini");
    }

    k::SilentPlatform<FakePlatform> platform;
    PackageBuilder builder;
};

TEST_F(SilentRunTest, InstallsToTheDefaultOrTheGivenFolderWithoutAWord) {
    platform.makeFolders("C:\\TEMP");
    EXPECT_EQ(k::kSilentInstalled, run("/S", builder.build()));
    EXPECT_EQ("alpha", platform.readFile("C:\\Program Files\\演示\\bin\\a.txt"));
    EXPECT_EQ("beta", platform.readFile("C:\\Program Files\\演示\\b.txt"));
    EXPECT_TRUE(platform.exists("C:\\Program Files\\演示\\演示file.ini"));
    std::string name;
    EXPECT_TRUE(platform.getValue(k::kHkeyLocalMachine,
                                  "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\演示",
                                  "DisplayName", &name));
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_TRUE(platform.statusTexts.empty());
    EXPECT_TRUE(tempIsEmpty());

    EXPECT_EQ(k::kSilentInstalled, run("/S /D=C:\\Other Folder", builder.build()));
    EXPECT_EQ("beta", platform.readFile("C:\\Other Folder\\b.txt"));
    EXPECT_TRUE(platform.exists("C:\\Other Folder\\演示dir.ini"));
}

TEST_F(SilentRunTest, EachFailureHasItsOwnExitCode) {
    platform.makeFolders("C:\\TEMP");
    // A refused folder: nothing is unpacked at all.
    EXPECT_EQ(k::kSilentPathRefused, run("/S /D=C:\\", builder.build()));
    EXPECT_TRUE(platform.deleted.empty());
    EXPECT_FALSE(platform.exists("C:\\TEMP\\~temp20043597345.ini"));

    // A damaged package: one byte of a file's stream changed.
    std::string damaged = builder.build();
    damaged[builder.streamPosition(1) + 2] ^= 1;
    EXPECT_EQ(k::kSilentDamagedPackage, run("/S", damaged));
    EXPECT_FALSE(platform.exists("C:\\Program Files\\演示"));
    EXPECT_TRUE(tempIsEmpty());

    // A file where the install folder should be.
    platform.writeFile("C:\\Blocked", "x");
    EXPECT_EQ(k::kSilentFolderNotMade, run("/S /D=C:\\Blocked", builder.build()));

    // A file that cannot be created: the install stops there.
    platform.failOpens.insert("C:\\Program Files\\演示\\bin\\a.txt");
    EXPECT_EQ(k::kSilentFileFailed, run("/S", builder.build()));
    EXPECT_FALSE(platform.exists("C:\\Program Files\\演示\\b.txt"));
    EXPECT_TRUE(tempIsEmpty());
}

}  // namespace
