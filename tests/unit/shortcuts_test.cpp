// Shortcut lines and shortcut folders.
#include "engine/shortcuts.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/uninstall_log.h"
#include "fake_platform.h"
#include "package_builder.h"

using kestrova::test::FakePlatform;
using kestrova::test::PackageBuilder;
namespace k = kestrova;

namespace {

k::ShortcutLine parse(const std::string& line) {
    k::ShortcutLine s;
    k::parseShortcutLine(line.data(), static_cast<int>(line.size()), &s);
    return s;
}

TEST(ShortcutLine, SplitsTargetAtTheFirstSlash) {
    auto s =
        parse(PackageBuilder::menuLine("演示  ", "[InstallDir]\\app.exe /min /x", true) + "\r\n");
    EXPECT_STREQ("演示", s.name);
    EXPECT_STREQ("[InstallDir]\\app.exe", s.target);  // one space before '/' dropped
    EXPECT_STREQ("min /x", s.arguments);
    EXPECT_TRUE(s.desktop);
    EXPECT_FALSE(s.startup);

    s = parse(PackageBuilder::menuLine("App", "C:\\app.exe"));
    EXPECT_STREQ("C:\\app.exe", s.target);
    EXPECT_STREQ("", s.arguments);
}

TEST(ShortcutLine, ShortLineReadsAsAbsentFields) {
    auto s = parse("Name only\r\n");
    EXPECT_STREQ("Name only", s.name);
    EXPECT_STREQ("", s.target);
    EXPECT_FALSE(s.desktop);
    EXPECT_FALSE(s.startup);
}

TEST(ShortcutLine, WorkingFolderKeepsTheBackslashOfADriveRoot) {
    char folder[64];
    ASSERT_TRUE(k::workingFolderOf("C:\\app.exe", folder, sizeof folder));
    EXPECT_STREQ("C:\\", folder);
    ASSERT_TRUE(k::workingFolderOf("C:\\App\\app.exe", folder, sizeof folder));
    EXPECT_STREQ("C:\\App", folder);
    ASSERT_TRUE(k::workingFolderOf("app.exe", folder, sizeof folder));
    EXPECT_STREQ("", folder);
    EXPECT_FALSE(k::workingFolderOf("C:\\a-long-folder\\app.exe", folder, 8));
}

class ShortcutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::strcpy(state.installDir, "C:\\App");
        std::strcpy(state.productName, "Demo");
        state.uninstallOption[0] = '1';
        std::strcpy(state.programGroupPath, "C:\\Menu\\Demo\\");
        platform.makeFolders("C:\\App");
        platform.makeFolders("C:\\Menu\\Demo");
        ASSERT_TRUE(k::openUninstallLogs(platform, platform.user(nullptr), state));
    }
    std::string log() {
        k::closeUninstallLogs(state);
        return platform.readFile("C:\\App\\Demofile.ini");
    }
    FakePlatform platform;
    k::SetupState state;
};

TEST_F(ShortcutTest, NoDesktopFolderMeansNoShortcutAndNoLogLine) {
    platform.desktopAvailable = false;
    k::createShortcut(platform, platform.user(), state, "C:\\App\\a.exe", "A",
                      k::ShortcutLocation::ProgramGroup, "");
    EXPECT_TRUE(platform.links.empty());
    EXPECT_EQ("", log());
}

TEST_F(ShortcutTest, MissingLinkObjectLogsNothingButAFailedSaveIsLogged) {
    platform.shellLinksAvailable = false;
    k::createShortcut(platform, platform.user(), state, "C:\\App\\a.exe", "A",
                      k::ShortcutLocation::ProgramGroup, "");
    platform.shellLinksAvailable = true;
    k::createShortcut(platform, platform.user(), state, "C:\\App\\a.exe", "B",
                      k::ShortcutLocation::Desktop, "");
    // The desktop folder exists; a group folder that does not fails to save.
    std::strcpy(state.programGroupPath, "C:\\Nowhere\\");
    k::createShortcut(platform, platform.user(), state, "C:\\App\\a.exe", "C",
                      k::ShortcutLocation::ProgramGroup, "");
    ASSERT_EQ(2u, platform.links.size());
    EXPECT_TRUE(platform.links[0].saved);
    EXPECT_FALSE(platform.links[1].saved);
    EXPECT_EQ("C:\\Users\\Setup\\Desktop\\B.lnk\r\nC:\\Nowhere\\C.lnk\r\n", log());
}

TEST_F(ShortcutTest, StartupNeedsAFolderNameFromTheRegistry) {
    const char key[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    platform.setValue(k::kHkeyLocalMachine, key, "Common Startup", "NoBackslash");
    k::createShortcut(platform, platform.user(), state, "C:\\App\\a.exe", "A",
                      k::ShortcutLocation::Startup, "");
    EXPECT_TRUE(platform.links.empty());

    platform.setValue(k::kHkeyLocalMachine, key, "Common Startup", "D:\\Menu\\自启动");
    k::createShortcut(platform, platform.user(), state, "C:\\App\\a.exe", "A",
                      k::ShortcutLocation::Startup, "");
    ASSERT_EQ(1u, platform.links.size());
    EXPECT_EQ("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\自启动\\A.lnk",
              platform.links[0].linkPath);
    EXPECT_EQ(0, platform.openKeyCount());
}

}  // namespace
