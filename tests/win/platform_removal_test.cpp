// The uninstaller's platform operations on the real system: the system's
// SHA-256, long forms of paths, and the removal through a checked handle.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "gbk.h"
#include "platform/win32/win32_platform.h"
#include "state/setup_state.h"

using kestrova::HandleRemoval;
using kestrova::kSha256Size;
using kestrova::test::wideFromGbk;
using kestrova::win32::Win32Platform;

namespace {

std::string hex(const uint8_t* bytes, std::size_t n) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

class PlatformRemoval : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[kestrova::kSystemPathSize];
        ASSERT_TRUE(platform.tempFolder(temp, sizeof temp));
        // A long Chinese name, so that the folder has a short one besides.
        root = std::string(temp) + "卸载测试的长文件夹名" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(platform.makeFolder(root.c_str()));
    }
    void TearDown() override {
        for (const char* name : {"\\a.txt", "\\readonly.txt", "\\link.txt", "\\held.txt"}) {
            std::wstring path = wideFromGbk(root + name);
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        }
        RemoveDirectoryW(wideFromGbk(root + "\\sub").c_str());
        RemoveDirectoryW(wideFromGbk(root).c_str());
    }
    void write(const std::string& path, DWORD attributes = 0) {
        HANDLE file = CreateFileW(wideFromGbk(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written;
        WriteFile(file, "x", 1, &written, nullptr);
        CloseHandle(file);
        if (attributes) SetFileAttributesW(wideFromGbk(path).c_str(), attributes);
    }
    DWORD attributes(const std::string& path) {
        return GetFileAttributesW(wideFromGbk(path).c_str());
    }

    Win32Platform platform;
    std::string root;
};

TEST_F(PlatformRemoval, TheSystemsSha256) {
    uint8_t digest[kSha256Size];
    ASSERT_TRUE(platform.sha256("abc", 3, digest));
    EXPECT_EQ("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
              hex(digest, sizeof digest));
    ASSERT_TRUE(platform.sha256(nullptr, 0, digest));
    EXPECT_EQ("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
              hex(digest, sizeof digest));
}

TEST_F(PlatformRemoval, ShortNamesAreExpandedAsFarAsThePathExists) {
    wchar_t shortWide[MAX_PATH];
    ASSERT_NE(0u, GetShortPathNameW(wideFromGbk(root).c_str(), shortWide, MAX_PATH));
    char shortRoot[kestrova::kTextSize];
    ASSERT_NE(0, WideCharToMultiByte(936, 0, shortWide, -1, shortRoot, sizeof shortRoot, nullptr,
                                     nullptr));
    ASSERT_NE(root, shortRoot);  // the system made a short name
    char buffer[kestrova::kTextSize];
    ASSERT_TRUE(platform.longPathName((std::string(shortRoot) + "\\missing\\x.txt").c_str(), buffer,
                                      sizeof buffer));
    EXPECT_EQ(root + "\\missing\\x.txt", buffer);
    ASSERT_TRUE(platform.longPathName("Q:\\nowhere", buffer, sizeof buffer));  // no such drive
    EXPECT_STREQ("Q:\\nowhere", buffer);
    ASSERT_TRUE(platform.longPathName("C:\\", buffer, sizeof buffer));
    EXPECT_STREQ("C:\\", buffer);

    // Removing by the short name: the handle's final path is the long one,
    // so the file stays.
    write(root + "\\a.txt");
    EXPECT_EQ(HandleRemoval::Elsewhere,
              platform.removeThroughHandle((std::string(shortRoot) + "\\a.txt").c_str(), false));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, attributes(root + "\\a.txt"));
}

TEST_F(PlatformRemoval, RemovesThroughTheCheckedHandleAndKeepsAttributesOfWhatStays) {
    const std::string plain = root + "\\a.txt", readOnly = root + "\\readonly.txt",
                      link = root + "\\link.txt", held = root + "\\held.txt", sub = root + "\\sub";
    write(plain);
    EXPECT_EQ(HandleRemoval::Removed, platform.removeThroughHandle(plain.c_str(), false));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, attributes(plain));
    EXPECT_EQ(HandleRemoval::Missing, platform.removeThroughHandle(plain.c_str(), false));

    // A read-only, hidden file goes; through a hard link, the other name
    // keeps its attributes.
    write(readOnly, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(CreateHardLinkW(wideFromGbk(link).c_str(), wideFromGbk(readOnly).c_str(), nullptr));
    EXPECT_EQ(HandleRemoval::Removed, platform.removeThroughHandle(link.c_str(), false));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, attributes(link));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              attributes(readOnly) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(HandleRemoval::Removed, platform.removeThroughHandle(readOnly.c_str(), false));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, attributes(readOnly));

    // A read-only file open in another program stays as it was.
    write(held, FILE_ATTRIBUTE_READONLY);
    HANDLE open = CreateFileW(wideFromGbk(held).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, open);
    EXPECT_EQ(HandleRemoval::Failed, platform.removeThroughHandle(held.c_str(), false));
    CloseHandle(open);
    EXPECT_NE(0u, attributes(held) & FILE_ATTRIBUTE_READONLY);

    // Folders: only an empty one, and only when a folder was asked for.
    ASSERT_TRUE(platform.makeFolder(sub.c_str()));
    EXPECT_EQ(HandleRemoval::OtherKind, platform.removeThroughHandle(sub.c_str(), false));
    EXPECT_EQ(HandleRemoval::OtherKind, platform.removeThroughHandle(held.c_str(), true));
    EXPECT_EQ(HandleRemoval::Failed, platform.removeThroughHandle(root.c_str(), true));
    EXPECT_EQ(HandleRemoval::Removed, platform.removeThroughHandle(sub.c_str(), true));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, attributes(sub));
}

}  // namespace
