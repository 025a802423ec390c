// System folders, facts and drives through the real platform, compared with
// what the wide calls themselves say.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "gbk.h"
#include "platform/win32/folder_text.h"
#include "platform/win32/win32_platform.h"

using kestrova::kSystemPathSize;
using kestrova::win32::Win32Platform;

using kestrova::test::wideFromGbk;

namespace {

// Calls one folder operation with a buffer of capacity bytes, marked so
// that a write past the capacity shows.
template <typename Call>
bool callWith(Call call, std::size_t capacity, std::string* result) {
    char buffer[kSystemPathSize * 2 + 8];
    std::memset(buffer, 'x', sizeof buffer);
    bool ok = call(buffer, capacity);
    EXPECT_EQ('x', buffer[capacity]) << "written past the capacity";
    *result = buffer;
    return ok;
}

struct FolderCase {
    const char* name;
    bool (Win32Platform::*operation)(char*, std::size_t);
    std::wstring expected;
};

TEST(PlatformSystem, FoldersMatchTheWideCallsAndNeverComeBackShortened) {
    wchar_t windows[MAX_PATH], system[MAX_PATH], temp[MAX_PATH], module[MAX_PATH];
    wchar_t desktop[MAX_PATH];
    ASSERT_NE(0u, GetWindowsDirectoryW(windows, MAX_PATH));
    ASSERT_NE(0u, GetSystemDirectoryW(system, MAX_PATH));
    ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
    ASSERT_NE(0u, GetModuleFileNameW(nullptr, module, MAX_PATH));
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop));

    Win32Platform platform;
    const FolderCase cases[] = {
        {"windows", &Win32Platform::windowsFolder, windows},
        {"system", &Win32Platform::systemFolder, system},
        {"temp", &Win32Platform::tempFolder, temp},
        {"module", &Win32Platform::modulePath, module},
        {"desktop", &Win32Platform::desktopFolder, desktop},
    };
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto call = [&](char* buffer, std::size_t capacity) {
            return (platform.*c.operation)(buffer, capacity);
        };
        std::string path;
        ASSERT_TRUE(callWith(call, kSystemPathSize, &path));
        EXPECT_EQ(c.expected, wideFromGbk(path));
        std::printf("  %s folder: %s\n", c.name, path.c_str());

        // Exactly room for the text and its NUL; then one byte less fails
        // with an empty buffer, not a shortened path.
        std::string exact;
        EXPECT_TRUE(callWith(call, path.size() + 1, &exact));
        EXPECT_EQ(path, exact);
        std::string shortened;
        EXPECT_FALSE(callWith(call, path.size(), &shortened));
        EXPECT_EQ("", shortened);
    }

    std::string tempPath;
    ASSERT_TRUE(callWith([&](char* b, std::size_t n) { return platform.tempFolder(b, n); },
                         kSystemPathSize, &tempPath));
    EXPECT_EQ('\\', tempPath.back());
    DWORD attributes = GetFileAttributesW(desktop);
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        << "the desktop folder does not exist";
}

TEST(PlatformSystem, ShellFoldersOfAllUsersAreInTheRegistry) {
    Win32Platform platform;
    kestrova::RegKey key = 0;
    ASSERT_TRUE(platform.regOpenKey(kestrova::kHkeyLocalMachine,
                                    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                                    "Shell Folders",
                                    kestrova::kKeyRead, &key));
    struct {
        const char* name;
        int csidl;
    } values[] = {{"Common Programs", CSIDL_COMMON_PROGRAMS},
                  {"Common Startup", CSIDL_COMMON_STARTUP}};
    for (const auto& value : values) {
        SCOPED_TRACE(value.name);
        char data[300] = {};
        uint32_t size = 260;
        ASSERT_TRUE(platform.regQueryValue(key, value.name, data, &size));
        EXPECT_EQ(std::strlen(data) + 1, size);
        std::printf("  %s: %s\n", value.name, data);
        wchar_t shell[MAX_PATH];
        ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, value.csidl, nullptr, 0, shell));
        EXPECT_EQ(0, _wcsicmp(shell, wideFromGbk(data).c_str()));
    }
    platform.regCloseKey(key);
}

TEST(PlatformSystem, VersionAndLocalTimeArePlausible) {
    Win32Platform platform;
    kestrova::VersionInfo version = platform.version();
    EXPECT_EQ(GetVersion(), version.packed);
    EXPECT_EQ(0u, version.packed & 0x80000000u) << "not an NT-family system";
    ASSERT_TRUE(version.haveDetails);
    EXPECT_EQ(version.packed & 0xFFu, version.major);
    EXPECT_EQ((version.packed >> 8) & 0xFFu, version.minor);
    EXPECT_GE(version.major, 5u);
    std::printf("  version %u.%u (packed %08X)\n", static_cast<unsigned>(version.major),
                static_cast<unsigned>(version.minor), static_cast<unsigned>(version.packed));

    SYSTEMTIME before;
    GetLocalTime(&before);
    kestrova::LocalTime now = platform.localTime();
    EXPECT_GE(now.year, 2020);
    EXPECT_LE(now.year, 2200);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.day, 31);
    EXPECT_LE(now.dayOfWeek, 6);
    EXPECT_LE(now.hour, 23);
    EXPECT_LE(now.minute, 59);
    EXPECT_LE(now.second, 59);
    EXPECT_LE(now.milliseconds, 999);
    // Taken right after the system's own reading: the same day and hour,
    // unless the hour turned in between.
    if (before.wMinute == now.minute) {
        EXPECT_EQ(before.wYear, now.year);
        EXPECT_EQ(before.wMonth, now.month);
        EXPECT_EQ(before.wDay, now.day);
        EXPECT_EQ(before.wDayOfWeek, now.dayOfWeek);
        EXPECT_EQ(before.wHour, now.hour);
    }
}

TEST(PlatformSystem, DrivesTypesAndFreeSpace) {
    Win32Platform platform;
    uint32_t drives = platform.logicalDrives();
    EXPECT_EQ(GetLogicalDrives(), drives);
    EXPECT_NE(0u, drives & (1u << 2)) << "no drive C:";
    EXPECT_EQ(kestrova::kDriveFixed, platform.driveType("C:\\"));

    // A letter that is not in use.
    char missing[] = "?:\\";
    for (int n = 25; n >= 3; --n) {
        if (!(drives & (1u << n))) {
            missing[0] = static_cast<char>('A' + n);
            break;
        }
    }
    ASSERT_NE('?', missing[0]) << "every drive letter is in use";
    EXPECT_EQ(kestrova::kDriveNoRootDir, platform.driveType(missing));
    uint64_t bytes = 12345;
    EXPECT_FALSE(platform.freeSpace(missing, &bytes));
    EXPECT_EQ(12345u, bytes);

    ULARGE_INTEGER available, total, free;
    ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &available, &total, &free));
    ASSERT_TRUE(platform.freeSpace("C:\\", &bytes));
    EXPECT_GT(bytes, 0u);
    EXPECT_LE(bytes, total.QuadPart);
    // Other programs write meanwhile: equal to within 64 MB.
    uint64_t difference =
        bytes > available.QuadPart ? bytes - available.QuadPart : available.QuadPart - bytes;
    EXPECT_LT(difference, 64ull << 20);
    std::printf("  drives %08X, C: has %llu MB free for this user\n", static_cast<unsigned>(drives),
                static_cast<unsigned long long>(bytes >> 20));
}

}  // namespace

namespace {

// A user whose temporary folder cannot be written in GBK (a Korean user
// name): the folder comes back in its short form, which names the same
// folder, rather than not at all.
TEST(PlatformSystem, FoldersOutsideGbkComeBackInTheirShortForm) {
    wchar_t base[MAX_PATH];
    ASSERT_NE(0u, GetTempPathW(MAX_PATH, base));
    const std::wstring folder = std::wstring(base) + L"\xD55C\xAD6D\xC5B4 \xC0AC\xC6A9\xC790";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(folder.c_str()));

    char gbk[kSystemPathSize];
    ASSERT_TRUE(kestrova::win32::folderToGbk(folder.c_str(), gbk, sizeof gbk));
    for (const char* c = gbk; *c; ++c) EXPECT_GT(0x80, static_cast<unsigned char>(*c)) << gbk;
    wchar_t longForm[MAX_PATH];
    ASSERT_NE(0u, GetLongPathNameW(wideFromGbk(gbk).c_str(), longForm, MAX_PATH));
    EXPECT_EQ(0, lstrcmpiW(folder.c_str(), longForm));

    // The temporary folder itself, as the setup asks for it.
    wchar_t saved[MAX_PATH];
    const DWORD savedLength = GetEnvironmentVariableW(L"TMP", saved, MAX_PATH);
    SetEnvironmentVariableW(L"TMP", (folder + L"\\").c_str());
    Win32Platform platform;
    char temp[kSystemPathSize];
    const bool found = platform.tempFolder(temp, sizeof temp);
    SetEnvironmentVariableW(L"TMP", savedLength ? saved : nullptr);
    ASSERT_TRUE(found);
    ASSERT_NE(0u, GetLongPathNameW(wideFromGbk(temp).c_str(), longForm, MAX_PATH));
    EXPECT_EQ(0, lstrcmpiW((folder + L"\\").c_str(), longForm));
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
