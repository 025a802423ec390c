// The uninstall entry under HKLM\...\Uninstall: its exact values with the
// details from the script's facts, the option, and a missing parent key.
#include "engine/uninstaller_registration.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/uninstall_log.h"
#include "fake_platform.h"
#include "gbk.h"
#include "resources/texts.h"
#include "state/bounded_text.h"

namespace kestrova {
namespace {

using test::FakePlatform;
using test::gbk;

const char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class UninstallerRegistrationTest : public ::testing::Test {
  protected:
    // Forms the log paths as the progress page does, without opening them.
    void prepare(const std::string& installDir, const std::string& product, const char* option) {
        copyText(state.installDir, installDir.c_str());
        copyText(state.productName, product.c_str());
        copyText(state.uninstallOption, "0");
        ASSERT_TRUE(openUninstallLogs(platform, platform.user(nullptr), state));
        copyText(state.uninstallOption, option);
    }
    std::string value(const std::string& product, const char* name) {
        std::string data;
        if (!platform.getValue(kHkeyLocalMachine, std::string(kUninstall) + "\\" + product, name,
                               &data)) {
            return "<missing>";
        }
        return data;
    }

    FakePlatform platform;
    SetupState state;
    const std::string title = gbk(u8"产品 安装程序");
};

TEST_F(UninstallerRegistrationTest, WritesTheEntryWithAnUnquotedCommand) {
    prepare("C:\\Program Files\\App", "App", "1");
    registerUninstaller(platform, platform.user(), state);

    EXPECT_EQ("App", value("App", "DisplayName"));
    EXPECT_EQ("C:\\WINDOWS\\Kestrova-UnInstall.exe C:\\Program Files\\App\\Appfile.ini",
              value("App", "UninstallString"));
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(0, platform.openKeyCount());
}

TEST_F(UninstallerRegistrationTest, ASecondInstallOverwritesTheGbkEntry) {
    const std::string product = gbk(u8"中文软件");
    platform.setValue(kHkeyLocalMachine, std::string(kUninstall) + "\\" + product, "DisplayName",
                      "old");
    platform.setValue(kHkeyLocalMachine, std::string(kUninstall) + "\\" + product,
                      "UninstallString", "old command");
    platform.windows = gbk(u8"D:\\视窗");
    prepare(gbk(u8"D:\\程序 文件\\中文软件"), product, "1");
    registerUninstaller(platform, platform.user(), state);

    EXPECT_EQ(product, value(product, "DisplayName"));
    EXPECT_EQ(gbk(u8"D:\\视窗\\Kestrova-UnInstall.exe D:\\程序 文件\\中文软件\\中文软件file.ini"),
              value(product, "UninstallString"));
    EXPECT_EQ(0, platform.openKeyCount());
}

// A script with every fact, as kpack writes it: the facts after [Run] and
// the checksums, a licence at the tail whose lines are not facts.
std::string scriptWithFacts(const std::string& totalSize, const std::string& facts) {
    const std::string licence = "<p>[Product]\r\nVersion=9.9\r\n";
    return "Kestrova Setup\r\nApp\r\n[Program Files]\\App\r\n1\r\n1\r\n[Directory]\r\n"
           "[File]\r\n[TotalSize]\r\n" +
           totalSize + "\r\n\r\n" + std::to_string(licence.size()) +
           "\r\n[AutoReg]\r\n[ClearFile]\r\n[Menu]\r\nApp\r\n[Run]\r\n[Product]\r\n\r\n"
           "[Checksums]\r\n0123ABCD\r\n" +
           facts + licence;
}

TEST_F(UninstallerRegistrationTest, DetailsForTheListOfProgramsAndDeploymentTools) {
    prepare("C:\\Program Files\\App", "App", "1");
    copyText(state.scriptPath, "C:\\TEMP\\script.ini");
    const std::string publisher = gbk(u8"星图软件");
    platform.writeFile(
        state.scriptPath,
        scriptWithFacts("2048001", "[Product]\r\nVersion=2.4\r\nPublisher=" + publisher +
                                       "\r\nURL=https://example.com/app\r\n"
                                       "Later=ignored\r\nIcon=[InstallDir]\\app.exe\r\n"));
    // An earlier version's entry with a value this one no longer gives.
    platform.setValue(kHkeyLocalMachine, std::string(kUninstall) + "\\App", "Comments", "old");
    registerUninstaller(platform, platform.user(), state);

    const std::string key = std::string(kUninstall) + "\\App";
    auto dword = [&](const char* name) {
        const std::string data = value("App", name);
        EXPECT_EQ(4u, platform.valueType(kHkeyLocalMachine, key, name)) << name;
        return data.size() != 4
                   ? ~0u
                   : uint32_t(uint8_t(data[0])) | uint32_t(uint8_t(data[1])) << 8 |
                         uint32_t(uint8_t(data[2])) << 16 | uint32_t(uint8_t(data[3])) << 24;
    };
    const std::pair<const char*, std::string> strings[] = {
        {"DisplayName", "App"},
        {"UninstallString",
         "C:\\WINDOWS\\Kestrova-UnInstall.exe C:\\Program Files\\App\\Appfile.ini"},
        {"DisplayVersion", "2.4"},
        {"Publisher", publisher},
        {"URLInfoAbout", "https://example.com/app"},
        {"DisplayIcon", "C:\\Program Files\\App\\app.exe"},
        {"InstallLocation", "C:\\Program Files\\App"},
        {"InstallDate", "20040305"},
        {"QuietUninstallString",
         "C:\\WINDOWS\\Kestrova-UnInstall.exe /S C:\\Program Files\\App\\Appfile.ini"},
    };
    for (const auto& [name, data] : strings) {
        EXPECT_EQ(data, value("App", name)) << name;
        EXPECT_EQ(1u, platform.valueType(kHkeyLocalMachine, key, name)) << name;
    }
    // 2,048,001 bytes are 2001 kilobytes, rounded up.
    EXPECT_EQ(2001u, dword("EstimatedSize"));
    EXPECT_EQ(1u, dword("NoModify"));
    EXPECT_EQ(1u, dword("NoRepair"));
    EXPECT_EQ("<missing>", value("App", "Comments"));
    EXPECT_EQ(0, platform.openKeyCount());

    // Without facts (an older package): none of those three values, the
    // uninstaller's icon, and a size of whole kilobytes stays as it is.
    platform.writeFile(state.scriptPath, scriptWithFacts("2048000", ""));
    registerUninstaller(platform, platform.user(), state);
    for (const char* name : {"DisplayVersion", "Publisher", "URLInfoAbout"})
        EXPECT_EQ("<missing>", value("App", name)) << name;
    EXPECT_EQ("C:\\WINDOWS\\Kestrova-UnInstall.exe", value("App", "DisplayIcon"));
    EXPECT_EQ(2000u, dword("EstimatedSize"));
    EXPECT_EQ("App", value("App", "DisplayName"));
}

TEST_F(UninstallerRegistrationTest, OptionOffOpensTheParentButWritesNothing) {
    prepare("C:\\App", "App", "0");
    registerUninstaller(platform, platform.user(), state);
    EXPECT_FALSE(platform.keyExists(kHkeyLocalMachine, std::string(kUninstall) + "\\App"));
    EXPECT_TRUE(platform.createdKeys.empty());
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(0, platform.openKeyCount());
}

TEST_F(UninstallerRegistrationTest, AMissingParentKeyIsReportedWithTheTitle) {
    for (const char* option : {"1", "0"}) {
        SCOPED_TRACE(option);
        FakePlatform fresh;
        fresh.deleteKey(kHkeyLocalMachine, kUninstall);
        SetupState s;
        copyText(s.productName, "App");
        copyText(s.fileLogPath, "C:\\App\\Appfile.ini");
        copyText(s.uninstallOption, option);
        // The title is the setup program's name without its extension.
        fresh.module = "C:\\Downloads\\" + title + ".exe";
        registerUninstaller(fresh, fresh.user(), s);

        ASSERT_EQ(1u, fresh.messageBoxes.size());
        EXPECT_EQ(texts::kRegistryWriteError, fresh.messageBoxes[0].text);
        EXPECT_EQ(title, fresh.messageBoxes[0].caption);
        EXPECT_EQ(kMbOk, fresh.messageBoxes[0].style);
        EXPECT_EQ(nullptr, fresh.messageBoxes[0].owner);
        EXPECT_TRUE(fresh.createdKeys.empty());
        EXPECT_EQ(0, fresh.openKeyCount());
    }
}

TEST_F(UninstallerRegistrationTest, TheLongestPartsStillMakeTheWholeCommand) {
    platform.windows = "C:\\" + std::string(kSystemPathSize - 4, 'w');  // 279 bytes
    const std::string log = "C:\\" + std::string(kTextSize - 4, 'l');   // 499 bytes
    prepare("C:\\App", "App", "1");
    copyText(state.fileLogPath, log.c_str());
    registerUninstaller(platform, platform.user(), state);
    EXPECT_EQ(platform.windows + "\\Kestrova-UnInstall.exe " + log,
              value("App", "UninstallString"));
}

TEST_F(UninstallerRegistrationTest, NoEntryWithoutAProductNameOrAWindowsFolder) {
    prepare("C:\\App", "", "1");
    registerUninstaller(platform, platform.user(), state);
    EXPECT_EQ("<missing>", value("", "DisplayName"));

    copyText(state.productName, "App");
    platform.windows = std::string(kSystemPathSize, 'w');  // does not fit: unknown
    registerUninstaller(platform, platform.user(), state);
    EXPECT_FALSE(platform.keyExists(kHkeyLocalMachine, std::string(kUninstall) + "\\App"));
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(0, platform.openKeyCount());
}

}  // namespace
}  // namespace kestrova
