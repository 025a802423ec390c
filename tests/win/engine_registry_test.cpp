// Registry data import and the uninstaller registration on the real
// registry: Chinese key names, value names and data land as the right
// UTF-16, and the uninstall entry reads back byte for byte.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "engine/registry_import.h"
#include "engine/uninstaller_registration.h"
#include "gbk.h"
#include "platform/win32/win32_platform.h"
#include "state/bounded_text.h"
#include "wizard/message_box_port.h"

namespace kestrova {
namespace {

using test::gbk;
using win32::Win32Platform;

std::wstring number(DWORD n) {
    std::string s = std::to_string(n);
    return std::wstring(s.begin(), s.end());
}

// A REG_SZ value as the system hands it to a wide reader; "<missing>" when
// absent or of another type.
std::wstring readWide(HKEY root, const std::wstring& path, const wchar_t* name) {
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    wchar_t buffer[1024];
    DWORD bytes = sizeof buffer;
    DWORD type = 0;
    LONG result =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) return L"<missing>";
    std::wstring text(buffer, bytes / sizeof(wchar_t));
    // Wine reports a NUL after a text stored without one.
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

class EngineRegistry : public ::testing::Test {
  protected:
    void SetUp() override {
        DWORD pid = GetCurrentProcessId();
        base = L"Software\\KestrovaImport" + number(pid);
        baseGbk = "Software\\KestrovaImport" + std::to_string(pid);
        char temp[kSystemPathSize];
        ASSERT_TRUE(platform.tempFolder(temp, sizeof temp));
        dataFile = std::string(temp) + gbk(u8"注册数据") + std::to_string(pid) + ".reg";
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, base.c_str());
        platform.deleteFile(dataFile.c_str());
        if (!machineKey.empty()) {
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, machineKey.c_str());
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, machineKey.c_str());
        }
    }
    void writeDataFile(const std::string& bytes) {
        File file = platform.openFile(dataFile.c_str(), FileMode::Write);
        ASSERT_TRUE(file.isOpen());
        ASSERT_TRUE(file.write(bytes.data(), bytes.size()));
        ASSERT_TRUE(file.close());
    }

    Win32Platform platform;
    std::wstring base;
    std::string baseGbk;
    std::string dataFile;
    std::wstring machineKey;  // deleted when the test ends
};

TEST_F(EngineRegistry, ImportsChineseKeysNamesAndDataIntoTheCurrentUser) {
    writeDataFile("[HKEY_CURRENT_USER\\" + baseGbk +
                  gbk(u8"\\开发商\\工具]\r\n"
                      u8"\"路径\"=\"C:\\程序\\工具\\new\"\r\n"
                      u8"\"\"=\"默认值\"\r\n"
                      u8"\"说明\"=\"他说\"好\"\"\r\n"
                      u8"\r\n"
                      u8"[HKEY_CURRENT_USER\\") +
                  baseGbk +
                  gbk(u8"\\淺色\\子]\r\n"
                      u8"\"名\"=\"值\"\r\n"));
    ASSERT_TRUE(importRegistryFile(platform, dataFile.c_str()));

    const std::wstring tool = base + L"\\开发商\\工具";
    EXPECT_EQ(L"C:\\程序\\工具\\new", readWide(HKEY_CURRENT_USER, tool, L"路径"));
    EXPECT_EQ(L"默认值", readWide(HKEY_CURRENT_USER, tool, nullptr));
    EXPECT_EQ(L"他说\"好\"", readWide(HKEY_CURRENT_USER, tool, L"说明"));
    // 淺 ends in the byte of a backslash in GBK; it is still one key.
    EXPECT_EQ(L"值", readWide(HKEY_CURRENT_USER, base + L"\\淺色\\子", L"名"));

    // A second import into the existing keys keeps their other values.
    writeDataFile("[HKEY_CURRENT_USER\\" + baseGbk + gbk(u8"\\开发商\\工具]\r\n") +
                  gbk(u8"\"版本\"=\"2\"\r\n"));
    ASSERT_TRUE(importRegistryFile(platform, dataFile.c_str()));
    EXPECT_EQ(L"2", readWide(HKEY_CURRENT_USER, tool, L"版本"));
    EXPECT_EQ(L"C:\\程序\\工具\\new", readWide(HKEY_CURRENT_USER, tool, L"路径"));
}

TEST_F(EngineRegistry, TheUninstallEntryReadsBackByteForByte) {
    const std::string product = gbk(u8"测试软件") + std::to_string(GetCurrentProcessId());
    const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    SetupState state;
    copyText(state.productName, product.c_str());
    copyText(state.uninstallOption, "1");
    const std::string log = gbk(u8"C:\\Program Files\\测试 软件\\") + product + "file.ini";
    copyText(state.fileLogPath, log.c_str());
    char windows[kSystemPathSize];
    ASSERT_TRUE(platform.windowsFolder(windows, sizeof windows));

    const std::wstring wideProduct = L"测试软件" + number(GetCurrentProcessId());
    machineKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + wideProduct;
    MessageBoxPort port(platform, nullptr);
    registerUninstaller(platform, port, state);
    RegKey key = 0;
    ASSERT_TRUE(platform.regOpenKey(kHkeyLocalMachine, (uninstall + "\\" + product).c_str(),
                                    kKeyRead, &key));
    char buffer[1024];
    uint32_t size = sizeof buffer;
    ASSERT_TRUE(platform.regQueryValue(key, "UninstallString", buffer, &size));
    const std::string command = std::string(windows) + "\\Kestrova-UnInstall.exe " + log;
    EXPECT_EQ(command.size() + 1, size);
    EXPECT_EQ(command, std::string(buffer));
    size = sizeof buffer;
    ASSERT_TRUE(platform.regQueryValue(key, "DisplayName", buffer, &size));
    EXPECT_EQ(product, std::string(buffer));
    platform.regCloseKey(key);

    EXPECT_EQ(wideProduct, readWide(HKEY_LOCAL_MACHINE, machineKey, L"DisplayName"));
    wchar_t wideWindows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryW(wideWindows, MAX_PATH), 0u);
    EXPECT_EQ(std::wstring(wideWindows) +
                  L"\\Kestrova-UnInstall.exe C:\\Program Files\\测试 软件\\" + wideProduct +
                  L"file.ini",
              readWide(HKEY_LOCAL_MACHINE, machineKey, L"UninstallString"));
}

}  // namespace
}  // namespace kestrova
