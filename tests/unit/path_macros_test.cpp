// Path macros and the small path helpers beside them, on the fake platform.
#include "engine/path_macros.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "resources/texts.h"

namespace kestrova {
namespace {

using test::FakePlatform;

constexpr const char kShellFolders[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char kCommonPrograms[] =
    "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";

// Records every folder creation, in order, and still makes it.
class RecordingPlatform : public FakePlatform {
  public:
    bool makeFolder(const char* path) override {
        made.push_back(path);
        return FakePlatform::makeFolder(path);
    }
    std::vector<std::string> made;
};

class PathMacros : public ::testing::Test {
  protected:
    PathMacros() {
        fake.windows = "C:\\WINDOWS";
        fake.system = "C:\\WINDOWS\\SYSTEM";
        std::strcpy(state.installDir, "D:\\Tools\\App");
    }
    // Expands text in a buffer of capacity bytes and returns the result.
    std::string expand(const std::string& text, std::size_t capacity = kTextSize) {
        if (text.size() >= capacity) {
            ADD_FAILURE() << "the test text does not fit its buffer";
            return {};
        }
        std::vector<char> buffer(capacity, 'x');
        std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
        expandPathMacros(fake, fake.user(), state, buffer.data(), capacity);
        return buffer.data();
    }
    void useWindows98() { fake.versionInfo = {0xC0000A04u, true, 4, 10}; }

    FakePlatform fake;
    SetupState state;
};

TEST_F(PathMacros, ExpandsTheExamplesOfAnInstallersScript) {
    EXPECT_EQ("D:\\Tools\\App\\bin\\a.dll", expand("[InstallDir]\\bin\\a.dll"));
    EXPECT_EQ("C:\\Program Files\\App", expand("[Program Files]\\App"));
    EXPECT_EQ("E:\\Data\\x.txt", expand("[Absolute Directory]E:\\Data\\x.txt"));
    EXPECT_EQ("C:\\WINDOWS\\SYSTEM\\regsvr32.exe /s \"D:\\x.dll\"",
              expand("[Windows System]\\regsvr32.exe /s \"D:\\x.dll\""));
}

TEST_F(PathMacros, ExpandsEachMacroToItsFolder) {
    fake.windows = "E:\\WINNT";
    EXPECT_EQ("E:\\Program Files\\A", expand("[Program Files]\\A"));  // drive of Windows
    EXPECT_EQ("E:\\WINNT\\a.ini", expand("[Windows Directory]\\a.ini"));
    EXPECT_EQ("C:\\WINDOWS\\SYSTEM\\b.dll", expand("[Windows System]\\b.dll"));
    EXPECT_EQ("C:\\Users\\Setup\\Desktop\\c.lnk", expand("[Windows Desktop]\\c.lnk"));
    EXPECT_EQ(std::string(kCommonPrograms) + "\\App", expand("[Start Menu]\\App"));
    EXPECT_TRUE(fake.messageBoxes.empty());
    EXPECT_EQ(0, fake.openKeyCount());
}

TEST_F(PathMacros, KeepsTheTailByteForByte) {
    std::strcpy(state.installDir, "D:\\软件");
    EXPECT_EQ("D:\\软件\\数据 [1]\\a.txt", expand("[InstallDir]\\数据 [1]\\a.txt"));
}

TEST_F(PathMacros, RemovesPaddingBeforeExpanding) {
    EXPECT_EQ("D:\\Tools\\App", expand("[InstallDir]"));
    EXPECT_EQ("D:\\Tools\\App", expand("[InstallDir]      "));
    EXPECT_EQ("D:\\Tools\\App\\a b", expand("[InstallDir]\\a b   "));
    EXPECT_EQ("", expand("[Absolute Directory]"));
    EXPECT_EQ("", expand("[Absolute Directory]    "));
}

TEST_F(PathMacros, LeavesPathsWithoutALeadingMacroAlone) {
    EXPECT_EQ("[installdir]\\a.txt", expand("[installdir]\\a.txt"));          // wrong case
    EXPECT_EQ("C:\\dir\\[InstallDir]  ", expand("C:\\dir\\[InstallDir]  "));  // not first
    EXPECT_EQ("C:\\a.txt   ", expand("C:\\a.txt   "));
    EXPECT_EQ("[InstallDir\\a.txt   ", expand("[InstallDir\\a.txt   "));  // no ']'
    EXPECT_EQ("", expand(""));
}

TEST_F(PathMacros, UnknownMacroLosesOnlyItsTrailingSpaces) {
    EXPECT_EQ("[Fonts]\\a.ttf", expand("[Fonts]\\a.ttf  "));
    EXPECT_EQ("[InstallDir ]\\a", expand("[InstallDir ]\\a "));
    EXPECT_TRUE(fake.messageBoxes.empty());
}

TEST_F(PathMacros, DesktopThatTheShellCannotNameStaysUnexpanded) {
    fake.desktopAvailable = false;
    EXPECT_EQ("[Windows Desktop]\\c.lnk", expand("[Windows Desktop]\\c.lnk   "));
}

TEST_F(PathMacros, StartMenuOnWindows98AndMeIsUnderTheWindowsFolder) {
    useWindows98();
    EXPECT_EQ("C:\\WINDOWS\\Start Menu\\Programs\\App", expand("[Start Menu]\\App"));
    fake.versionInfo = {0xC0005A04u, true, 4, 90};  // Me
    EXPECT_EQ("C:\\WINDOWS\\Start Menu\\Programs\\App", expand("[Start Menu]\\App"));
    fake.versionInfo = {0xC0000004u, true, 4, 0};  // 95 reads the registry
    EXPECT_EQ(std::string(kCommonPrograms) + "\\App", expand("[Start Menu]\\App"));
    EXPECT_TRUE(fake.messageBoxes.empty());
    EXPECT_EQ(0, fake.openKeyCount());
}

TEST_F(PathMacros, StartMenuWithoutItsKeyTellsTheUserAndKeepsTheTail) {
    fake.deleteKey(kHkeyLocalMachine, kShellFolders);
    EXPECT_EQ("\\App", expand("[Start Menu]\\App"));
    ASSERT_EQ(1u, fake.messageBoxes.size());
    const test::MessageBoxCall& box = fake.messageBoxes[0];
    EXPECT_EQ(nullptr, box.owner);
    EXPECT_EQ(texts::kRegistryReadError, box.text);
    EXPECT_EQ(texts::kCaptionError, box.caption);
    EXPECT_EQ(kMbOk, box.style);

    // Windows 98 still reads (and fails to read) the registry first.
    useWindows98();
    EXPECT_EQ("C:\\WINDOWS\\Start Menu\\Programs\\App", expand("[Start Menu]\\App"));
    EXPECT_EQ(2u, fake.messageBoxes.size());
}

TEST_F(PathMacros, StartMenuValueIsReadUpTo260Bytes) {
    // A missing value is an empty folder, silently.
    fake.deleteKey(kHkeyLocalMachine, kShellFolders);
    fake.setValue(kHkeyLocalMachine, kShellFolders, "Other", "x");
    EXPECT_EQ("\\App", expand("[Start Menu]\\App"));
    EXPECT_TRUE(fake.messageBoxes.empty());

    // 259 bytes and the NUL fit; one more byte is a failed read.
    std::string longest = "C:\\" + std::string(256, 'p');
    fake.setValue(kHkeyLocalMachine, kShellFolders, "Common Programs", longest);
    EXPECT_EQ(longest + "\\A", expand("[Start Menu]\\A"));
    fake.setValue(kHkeyLocalMachine, kShellFolders, "Common Programs", longest + "p");
    EXPECT_EQ("\\A", expand("[Start Menu]\\A"));
    EXPECT_EQ(0, fake.openKeyCount());
}

TEST_F(PathMacros, ExpansionThatDoesNotFitLeavesThePathExactlyAsItWas) {
    // The result "D:\Tools\Application\bin" has 24 bytes and a NUL.
    std::strcpy(state.installDir, "D:\\Tools\\Application");
    EXPECT_EQ("D:\\Tools\\Application\\bin", expand("[InstallDir]\\bin", 25));
    EXPECT_EQ("[InstallDir]\\bin  ", expand("[InstallDir]\\bin  ", 24));
    // 499 bytes that would grow to 500 by one byte of the system folder.
    std::string deep = "[Windows System]\\" + std::string(482, 'd');
    EXPECT_EQ(deep, expand(deep));
}

TEST(WindowsPlatform, RecognisesEachFamilyAndVersion) {
    FakePlatform fake;
    struct Case {
        VersionInfo version;
        int code;
    } cases[] = {
        {{0x80000003u, false, 0, 0}, kPlatformWin32s},
        {{0xC0000004u, true, 4, 0}, kPlatformWin95},
        {{0xC0000A04u, true, 4, 10}, kPlatformWin98},
        {{0xC0005A04u, true, 4, 90}, kPlatformWinMe},
        {{0xC0000005u, true, 5, 0}, kPlatformWin95},   // a 9x of another major version
        {{0xC0000A04u, false, 0, 0}, kPlatformWin95},  // no details on the 9x branch
        {{0x05650004u, true, 4, 0}, kPlatformNt4},
        {{0x08930005u, true, 5, 0}, kPlatformWin2000},
        {{0x0A280105u, true, 5, 1}, kPlatformWinXp},
        {{0x0ECE0205u, true, 5, 2}, kPlatformOtherNt},
        {{0x1DB10106u, true, 6, 1}, kPlatformOtherNt},
        {{0x4A61000Au, true, 10, 0}, kPlatformOtherNt},
        {{0x0A280105u, false, 0, 0}, kPlatformOtherNt},  // no details on the NT branch
    };
    for (const Case& c : cases) {
        fake.versionInfo = c.version;
        EXPECT_EQ(c.code, getWindowsPlatform(fake)) << std::hex << c.version.packed;
    }
}

TEST(ParentFolder, GivesTheFolderPartOfAPath) {
    char folder[32];
    ASSERT_TRUE(parentFolder("C:\\a", folder, sizeof folder));
    EXPECT_STREQ("C:\\", folder);
    ASSERT_TRUE(parentFolder("C:\\app.exe", folder, sizeof folder));
    EXPECT_STREQ("C:\\", folder);
    ASSERT_TRUE(parentFolder("C:\\dir\\app.exe", folder, sizeof folder));
    EXPECT_STREQ("C:\\dir", folder);
    ASSERT_TRUE(parentFolder("C:\\dir\\sub\\", folder, sizeof folder));
    EXPECT_STREQ("C:\\dir\\sub", folder);

    std::strcpy(folder, "untouched");
    EXPECT_FALSE(parentFolder("\\a", folder, sizeof folder));
    EXPECT_FALSE(parentFolder("app.exe", folder, sizeof folder));
    EXPECT_FALSE(parentFolder("", folder, sizeof folder));
    EXPECT_STREQ("untouched", folder);
}

TEST(ParentFolder, ReportsAFolderThatDoesNotFit) {
    char folder[7] = "same";
    EXPECT_FALSE(parentFolder("C:\\folder\\a.exe", folder, sizeof folder));
    EXPECT_STREQ("same", folder);
    ASSERT_TRUE(parentFolder("C:\\dir\\a.exe", folder, sizeof folder));  // 6 and a NUL
    EXPECT_STREQ("C:\\dir", folder);
    char root[3];
    EXPECT_FALSE(parentFolder("C:\\a", root, sizeof root));  // "C:\" needs 4
}

TEST(ParentFolder, DoesNotSplitAChineseCharacter) {
    // The second byte of 乗 in GBK is 0x5C, the byte of '\'.
    ASSERT_EQ('\\', std::string("乗")[1]);
    char folder[32];
    ASSERT_TRUE(parentFolder("C:\\软件\\乗", folder, sizeof folder));
    EXPECT_STREQ("C:\\软件", folder);
    EXPECT_FALSE(parentFolder("乗", folder, sizeof folder));
}

TEST(CreateFolderPath, CreatesEachLevelFromTheTopDown) {
    RecordingPlatform fake;
    createFolderPath(fake, "C:\\");
    createFolderPath(fake, "C:");
    EXPECT_TRUE(fake.made.empty());

    createFolderPath(fake, "C:\\A\\B");
    EXPECT_EQ((std::vector<std::string>{"C:\\A", "C:\\A\\B"}), fake.made);
    EXPECT_TRUE(fake.isFolder("C:\\A\\B"));

    fake.made.clear();
    createFolderPath(fake, "C:\\X\\Y\\");
    EXPECT_EQ((std::vector<std::string>{"C:\\X", "C:\\X\\Y", "C:\\X\\Y\\"}), fake.made);
    EXPECT_TRUE(fake.isFolder("C:\\X\\Y"));
}

TEST(CreateFolderPath, WalksChineseNamesWhole) {
    RecordingPlatform fake;
    createFolderPath(fake, "C:\\乗\\软件");
    EXPECT_EQ((std::vector<std::string>{"C:\\乗", "C:\\乗\\软件"}), fake.made);
}

}  // namespace
}  // namespace kestrova
