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

    // What each command line gives: "S" silent, "F" a folder given and
    // accepted, "f" given and refused, "?" an argument not understood; then
    // the accepted folder.
    struct Row {
        const char* arguments;
        const char* flags;
        const char* folder;
    };
    const Row rows[] = {
        {"", "", ""},
        {"/S", "S", ""},
        {"/s", "?", ""},  // case-sensitive, as elsewhere
        {"/SILENT", "?", ""},
        {"/foo /S bar", "S?", ""},
        {"/S /D=C:\\Other Folder\\ ", "SF", "C:\\Other Folder"},  // blanks, one backslash go
        {"/D=C:\\a /S", "F", "C:\\a /S"},  // unquoted, "/D=" takes the rest of the line
        {"/S \"/D=C:\\Apps\\Bluebird Notes\"", "SF", "C:\\Apps\\Bluebird Notes"},
        {"\"/D=C:\\My Apps\" \t\"/S\"", "SF", "C:\\My Apps"},  // quoted, anywhere
        {"/S /D=\"C:\\Other\"", "Sf", ""},                     // quotes inside are not taken off
        {"/S \"/D=C:\\Other", "S?", ""},                       // no closing quote
        {"/S \"/D=C:\\a\"b", "S?", ""},                        // the quote ends no argument
        {"/S \"\"", "S?", ""},
        {"\"/D=C:\\a\" /S /D=C:\\b", "SF?", "C:\\a"},  // which folder is not guessed
        {"/X", "?", ""},                               // only "/S" makes the refusal matter
    };
    for (const Row& row : rows) {
        const k::CommandLine line = k::parseCommandLine(row.arguments);
        std::string flags;
        if (line.silent) flags += 'S';
        if (line.hasFolder) flags += line.folderAccepted ? 'F' : 'f';
        if (line.unknownArgument) flags += '?';
        EXPECT_EQ(row.flags, flags) << row.arguments;
        EXPECT_STREQ(row.folder, line.folderAccepted ? line.folder : "") << row.arguments;
    }
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

TEST(SilentPort, GivesTheSafeAnswersAndRemembersErrors) {
    k::SilentPort port;
    const k::SilentReport& report = port.report;
    // A run without a user never quits; after a file that cannot be made it
    // stops rather than install a product with a file missing.
    EXPECT_FALSE(port.confirmQuit());
    EXPECT_FALSE(report.fileFailed || report.otherError || report.packageReadError);
    EXPECT_TRUE(port.stopAfterFailedFile("C:\\x"));
    EXPECT_TRUE(report.fileFailed);
    port.status("正在复制文件");
    EXPECT_FALSE(report.packageReadError || report.otherError);
    port.scriptReadError();
    EXPECT_TRUE(report.packageReadError);
    EXPECT_FALSE(report.otherError);

    // Every other error is one the exit code tells as "a step failed".
    void (*const others[])(k::SilentPort&) = {
        [](k::SilentPort& p) { p.logCreateError(); },
        [](k::SilentPort& p) { p.processStartError(); },
        [](k::SilentPort& p) { p.registryReadError(); },
        [](k::SilentPort& p) { p.registryWriteError(); },
        [](k::SilentPort& p) { p.fileCreateError("C:\\TEMP\\x"); },
    };
    for (auto other : others) {
        k::SilentPort fresh;
        other(fresh);
        EXPECT_TRUE(fresh.report.otherError);
        EXPECT_FALSE(fresh.report.packageReadError || fresh.report.fileFailed);
    }
    k::SilentPort damaged;
    damaged.packageReadError();
    EXPECT_TRUE(damaged.report.packageReadError);
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
        k::SilentPort port;
        k::SetupState state;
        const k::CommandLine line = k::parseCommandLine(arguments);
        EXPECT_TRUE(line.silent);
        return k::runSilentInstall(platform, port, state, line);
    }
    bool tempIsEmpty() {
        return platform.isFolder("C:\\TEMP") && !platform.exists("C:\\TEMP\\~temp20043597345.ini");
    }

    FakePlatform platform;
    PackageBuilder builder;
};

TEST_F(SilentRunTest, InstallsToTheDefaultOrTheGivenFolderWithoutAWord) {
    platform.makeFolders("C:\\TEMP");
    EXPECT_EQ(k::kSilentInstalled, run("/S", builder.build()));
    EXPECT_EQ("alpha", platform.readFile("C:\\Program Files\\演示\\bin\\a.txt"));
    EXPECT_EQ("beta", platform.readFile("C:\\Program Files\\演示\\b.txt"));
    EXPECT_TRUE(platform.exists("C:\\Program Files\\演示\\演示file.ini"));
    // The folder page's way: the programs the run starts begin there.
    EXPECT_EQ("C:\\Program Files\\演示", platform.currentFolder);
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
    EXPECT_EQ("C:\\Other Folder", platform.currentFolder);

    // An upgrade without "/D=" lands where the product's entry says it is,
    // unless the entry names a folder the folder page would refuse.
    EXPECT_EQ(k::kSilentInstalled, run("/S", builder.build()));
    EXPECT_EQ("C:\\Other Folder", platform.currentFolder);
    platform.setValue(k::kHkeyLocalMachine,
                      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\演示",
                      "InstallLocation", "C:\\");
    EXPECT_EQ(k::kSilentInstalled, run("/S", builder.build()));
    EXPECT_EQ("C:\\Program Files\\演示", platform.currentFolder);
}

TEST_F(SilentRunTest, EachFailureHasItsOwnExitCode) {
    platform.makeFolders("C:\\TEMP");
    // A refused folder or argument: nothing is unpacked at all.
    for (const char* refused : {"/S /D=C:\\", "/S /X", "/X /S /D=C:\\Other"}) {
        EXPECT_EQ(k::kSilentPathRefused, run(refused, builder.build())) << refused;
        EXPECT_TRUE(platform.deleted.empty());
        EXPECT_FALSE(platform.exists("C:\\TEMP\\~temp20043597345.ini"));
        EXPECT_FALSE(platform.exists("C:\\Other"));
    }
    // A default the folder page would refuse: one below the caller's
    // current folder, the drive's root. Unpacked to be read, then nothing;
    // a "/D=" folder still installs such a package.
    PackageBuilder variant = builder;
    for (const char* folder : {"Apps\\演示", "C:\\"}) {
        variant.installDir = folder;
        platform.currentFolder = "C:\\Windows\\System32";
        EXPECT_EQ(k::kSilentPathRefused, run("/S", variant.build())) << folder;
        EXPECT_EQ("C:\\Windows\\System32", platform.currentFolder);
        EXPECT_FALSE(platform.exists("C:\\b.txt") || platform.exists("C:\\演示file.ini"));
        EXPECT_TRUE(tempIsEmpty());
    }
    EXPECT_EQ(k::kSilentInstalled, run("/S /D=C:\\Apps", variant.build()));

    // A damaged package: one byte of a file's stream changed.
    std::string damaged = builder.build();
    damaged[builder.streamPosition(1) + 2] ^= 1;
    EXPECT_EQ(k::kSilentDamagedPackage, run("/S", damaged));
    EXPECT_FALSE(platform.exists("C:\\Program Files\\演示"));
    EXPECT_TRUE(tempIsEmpty());

    // A file where the install folder should be.
    platform.writeFile("C:\\Blocked", "x");
    EXPECT_EQ(k::kSilentFolderNotMade, run("/S /D=C:\\Blocked", builder.build()));

    // A file that cannot be created: the install stops there. The product's
    // entry names C:\Apps since the install above, so "/S" without "/D="
    // goes there, not to the script's default.
    platform.failOpens.insert("C:\\Apps\\bin\\a.txt");
    EXPECT_EQ(k::kSilentFileFailed, run("/S", builder.build()));
    EXPECT_FALSE(platform.exists("C:\\Program Files\\演示\\b.txt"));
    EXPECT_TRUE(tempIsEmpty());
}

}  // namespace
