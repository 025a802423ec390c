// Registry values with GBK names and data through the real
// platform: stored as the right UTF-16 and read back byte for byte, with
// the sizes the setup relies on.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/win32/registry_key.h"
#include "platform/win32/win32_platform.h"

using kestrova::RegKey;
using kestrova::win32::RegistryKey;
using kestrova::win32::Win32Platform;

namespace {

class PlatformRegistry : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pid = std::to_string(GetCurrentProcessId());
        base = "Software\\KestrovaTest" + pid;
        wideBase = L"Software\\KestrovaTest" + std::wstring(pid.begin(), pid.end());
        ASSERT_TRUE(platform.regCreateKey(kestrova::kHkeyCurrentUser,
                                          (base + "\\产品\\设置").c_str(), &key));
    }
    void TearDown() override {
        if (key) platform.regCloseKey(key);
        RegDeleteTreeW(HKEY_CURRENT_USER, wideBase.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, wideBase.c_str());
    }

    // The value as the system stores it.
    bool readWide(const wchar_t* name, DWORD* type, std::wstring* data) {
        RegistryKey wide;
        if (!wide.open(HKEY_CURRENT_USER, (wideBase + L"\\产品\\设置").c_str(), KEY_READ)) {
            return false;
        }
        wchar_t buffer[512];
        DWORD bytes = sizeof buffer;
        if (RegQueryValueExW(wide.get(), name, nullptr, type, reinterpret_cast<BYTE*>(buffer),
                             &bytes) != ERROR_SUCCESS) {
            return false;
        }
        *data = std::wstring(buffer, bytes / sizeof(wchar_t));
        return true;
    }

    Win32Platform platform;
    std::string base;
    std::wstring wideBase;
    RegKey key = 0;
};

TEST_F(PlatformRegistry, GbkValueIsStoredAsUtf16AndReadBackExactly) {
    const std::string data = "C:\\Windows\\Kestrova-UnInstall.exe D:\\软件\\测试file.ini";
    ASSERT_TRUE(
        platform.regSetString(key, "卸载命令", data.c_str(), static_cast<uint32_t>(data.size())));

    DWORD type = 0;
    std::wstring stored;
    ASSERT_TRUE(readWide(L"卸载命令", &type, &stored));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    // The text and one NUL, nothing more.
    EXPECT_EQ(std::wstring(L"C:\\Windows\\Kestrova-UnInstall.exe D:\\软件\\测试file.ini", 51),
              stored);

    char buffer[128];
    std::memset(buffer, 'x', sizeof buffer);
    uint32_t size = sizeof buffer;
    ASSERT_TRUE(platform.regQueryValue(key, "卸载命令", buffer, &size));
    EXPECT_EQ(data.size() + 1, size);
    EXPECT_EQ(data, std::string(buffer));

    // Exactly room for the text and its NUL; one byte less is a failure that
    // writes nothing beyond the buffer.
    size = static_cast<uint32_t>(data.size() + 1);
    ASSERT_TRUE(platform.regQueryValue(key, "卸载命令", buffer, &size));
    EXPECT_EQ(data, std::string(buffer));
    std::memset(buffer, 'x', sizeof buffer);
    size = static_cast<uint32_t>(data.size());
    EXPECT_FALSE(platform.regQueryValue(key, "卸载命令", buffer, &size));
    EXPECT_EQ('x', buffer[data.size()]);

    // Only length bytes are written, even from a longer text.
    ASSERT_TRUE(platform.regSetString(key, "名称", "测试软件 extra", 8));
    ASSERT_TRUE(readWide(L"名称", &type, &stored));
    EXPECT_EQ(std::wstring(L"测试软件", 5), stored);
    size = sizeof buffer;
    ASSERT_TRUE(platform.regQueryValue(key, "名称", buffer, &size));
    EXPECT_EQ(9u, size);
    EXPECT_STREQ("测试软件", buffer);

    // Writing again replaces the value.
    ASSERT_TRUE(platform.regSetString(key, "名称", "新", 2));
    size = sizeof buffer;
    ASSERT_TRUE(platform.regQueryValue(key, "名称", buffer, &size));
    EXPECT_STREQ("新", buffer);
}

TEST_F(PlatformRegistry, ValuesWrittenByOthersAndOddCases) {
    // A value stored with its NUL, as other programs write REG_SZ: the same
    // size comes back, not one more.
    const wchar_t withNul[] = L"开始菜单\\程序";
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExW(kestrova::win32::toHkey(key), L"Common Programs", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(withNul), sizeof withNul));
    char buffer[64];
    uint32_t size = sizeof buffer;
    ASSERT_TRUE(platform.regQueryValue(key, "Common Programs", buffer, &size));
    EXPECT_STREQ("开始菜单\\程序", buffer);
    EXPECT_EQ(std::strlen("开始菜单\\程序") + 1, size);

    // A number (regSetDword) is a REG_DWORD, and another type is handed
    // back raw.
    DWORD number = 0x01020304;
    ASSERT_TRUE(platform.regSetDword(key, "数字", number));
    DWORD type = 0;
    std::wstring stored;
    ASSERT_TRUE(readWide(L"数字", &type, &stored));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    size = sizeof buffer;
    ASSERT_TRUE(platform.regQueryValue(key, "数字", buffer, &size));
    ASSERT_EQ(4u, size);
    EXPECT_EQ(0, std::memcmp(&number, buffer, 4));
    size = 3;
    EXPECT_FALSE(platform.regQueryValue(key, "数字", buffer, &size));

    // A text with no GBK form cannot be read as GBK.
    const wchar_t thai[] = L"\x0E01\x0E02";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(kestrova::win32::toHkey(key), L"thai", 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(thai), sizeof thai));
    size = sizeof buffer;
    EXPECT_FALSE(platform.regQueryValue(key, "thai", buffer, &size));

    // Missing values; the default value through a null or empty name.
    size = sizeof buffer;
    EXPECT_FALSE(platform.regQueryValue(key, "没有", buffer, &size));
    ASSERT_TRUE(platform.regSetString(key, nullptr, "默认", 4));
    size = sizeof buffer;
    ASSERT_TRUE(platform.regQueryValue(key, "", buffer, &size));
    EXPECT_STREQ("默认", buffer);

    // An empty text is an empty REG_SZ: one NUL byte back.
    ASSERT_TRUE(platform.regSetString(key, "空", "", 0));
    size = sizeof buffer;
    ASSERT_TRUE(platform.regQueryValue(key, "空", buffer, &size));
    EXPECT_EQ(1u, size);
    EXPECT_STREQ("", buffer);

    // Data that is not GBK is not stored under another text.
    EXPECT_FALSE(platform.regSetString(key, "坏", "ab\x81", 3));
    size = sizeof buffer;
    EXPECT_FALSE(platform.regQueryValue(key, "坏", buffer, &size));
}

TEST_F(PlatformRegistry, OpeningKeysByGbkPathAndRoot) {
    platform.regCloseKey(key);
    key = 0;

    // The key made from a GBK path exists under its UTF-16 name.
    RegistryKey wide;
    EXPECT_TRUE(wide.open(HKEY_CURRENT_USER, (wideBase + L"\\产品\\设置").c_str(), KEY_READ));
    wide.close();

    RegKey opened = 0;
    ASSERT_TRUE(platform.regOpenKey(kestrova::kHkeyCurrentUser, (base + "\\产品").c_str(),
                                    kestrova::kKeyWrite, &opened));
    // Relative to an open key; an empty sub key opens the key itself.
    RegKey child = 0;
    ASSERT_TRUE(platform.regCreateKey(opened, "设置", &child));
    ASSERT_TRUE(platform.regSetString(child, "a", "1", 1));
    platform.regCloseKey(child);
    RegKey same = 0;
    ASSERT_TRUE(platform.regOpenKey(kestrova::kHkeyCurrentUser, (base + "\\产品\\设置").c_str(),
                                    kestrova::kKeyRead, &same));
    RegKey itself = 0;
    ASSERT_TRUE(platform.regOpenKey(same, "", kestrova::kKeyRead, &itself));
    char buffer[8];
    uint32_t size = sizeof buffer;
    EXPECT_TRUE(platform.regQueryValue(itself, "a", buffer, &size));
    EXPECT_STREQ("1", buffer);
    platform.regCloseKey(itself);
    platform.regCloseKey(same);
    platform.regCloseKey(opened);

    // A missing key leaves the handle untouched.
    RegKey untouched = 77;
    EXPECT_FALSE(platform.regOpenKey(kestrova::kHkeyCurrentUser, (base + "\\没有").c_str(),
                                     kestrova::kKeyRead, &untouched));
    EXPECT_EQ(77u, untouched);
    EXPECT_FALSE(platform.regCreateKey(kestrova::kHkeyCurrentUser, (base + "\\bad\x81").c_str(),
                                       &untouched));
    EXPECT_EQ(77u, untouched);

    // The predefined roots reach the system's.
    RegKey machine = 0;
    ASSERT_TRUE(platform.regOpenKey(kestrova::kHkeyLocalMachine,
                                    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                    kestrova::kKeyRead, &machine));
    platform.regCloseKey(machine);
}

}  // namespace
