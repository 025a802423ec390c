// Files and folders with Chinese names through the real platform: what the
// platform creates from GBK names is found again by its UTF-16 name, in a
// process of either code page.
#include <direct.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "gbk.h"
#include "platform/win32/win32_platform.h"

using kestrova::File;
using kestrova::FileMode;
using kestrova::win32::Win32Platform;

using kestrova::test::wideFromGbk;

namespace {

class PlatformFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[kestrova::kSystemPathSize];
        ASSERT_TRUE(platform.tempFolder(temp, sizeof temp));
        root = std::string(temp) + "安装测试" + std::to_string(GetCurrentProcessId());
        wideRoot = wideFromGbk(root);
        ASSERT_TRUE(platform.makeFolder(root.c_str()));
    }
    void TearDown() override {
        // Whatever a failed test left behind, deepest first.
        SetFileAttributesW((wideRoot + L"\\子目录\\文件 一.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW((wideRoot + L"\\子目录\\文件 一.txt").c_str());
        RemoveDirectoryW((wideRoot + L"\\子目录").c_str());
        RemoveDirectoryW(wideRoot.c_str());
    }

    Win32Platform platform;
    std::string root;
    std::wstring wideRoot;
};

TEST_F(PlatformFiles, ChineseFolderAndFileAreFoundByTheirWideNames) {
    std::string folder = root + "\\子目录";
    std::string path = folder + "\\文件 一.txt";
    EXPECT_FALSE(platform.makeFolder(root.c_str()));  // exists already
    ASSERT_TRUE(platform.makeFolder(folder.c_str()));

    const std::string content = "内容 content\r\n";
    {
        File out = platform.openFile(path.c_str(), FileMode::Write);
        ASSERT_TRUE(out.isOpen());
        ASSERT_TRUE(out.write(content.c_str()));
        ASSERT_TRUE(out.close());
    }

    // The folder holds exactly this one file, under the UTF-16 name.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((wideRoot + L"\\子目录\\*.txt").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    EXPECT_STREQ(L"文件 一.txt", found.cFileName);
    EXPECT_FALSE(FindNextFileW(search, &found));
    FindClose(search);

    // Its bytes, read through the wide name and through the platform.
    FILE* raw = _wfopen((wideRoot + L"\\子目录\\文件 一.txt").c_str(), L"rb");
    ASSERT_NE(nullptr, raw);
    char bytes[64] = {};
    std::size_t n = std::fread(bytes, 1, sizeof bytes, raw);
    std::fclose(raw);
    EXPECT_EQ(content, std::string(bytes, n));

    File in = platform.openFile(path.c_str(), FileMode::Read);
    ASSERT_TRUE(in.isOpen());
    char again[64] = {};
    EXPECT_EQ(content.size(), in.read(again, sizeof again));
    EXPECT_EQ(content, std::string(again, content.size()));

    EXPECT_NE(0u, platform.fileAttributes(folder.c_str()) & kestrova::kAttributeDirectory);
    EXPECT_EQ(0u, platform.fileAttributes(path.c_str()) & kestrova::kAttributeDirectory);
}

TEST_F(PlatformFiles, AttributesAndDeletion) {
    std::string folder = root + "\\子目录";
    std::string path = folder + "\\文件 一.txt";
    ASSERT_TRUE(platform.makeFolder(folder.c_str()));
    ASSERT_TRUE(platform.openFile(path.c_str(), FileMode::Write).isOpen());

    // A read-only file cannot be deleted until its attributes are cleared
    // with 0.
    ASSERT_TRUE(platform.setFileAttributes(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_NE(0u, platform.fileAttributes(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(platform.deleteFile(path.c_str()));
    // Writing replaces even a read-only hidden system file: the install
    // run relies on it instead of clearing every target first.
    ASSERT_TRUE(platform.setFileAttributes(
        path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_TRUE(platform.openFile(path.c_str(), FileMode::Write).write("new"));

    ASSERT_TRUE(platform.setFileAttributes(path.c_str(), kestrova::kAttributeNormal));
    EXPECT_EQ(0u, platform.fileAttributes(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(platform.deleteFile(path.c_str()));
    EXPECT_EQ(kestrova::kInvalidAttributes, platform.fileAttributes(path.c_str()));
    EXPECT_FALSE(platform.deleteFile(path.c_str()));
    EXPECT_FALSE(platform.setFileAttributes(path.c_str(), kestrova::kAttributeNormal));
    EXPECT_FALSE(platform.openFile(path.c_str(), FileMode::Read).isOpen());
}

// Files made ahead on the helper thread: a new file is handed over open,
// one that exists is left as it is, one not taken (another path asked
// for, a newer request, or dropped) is deleted; the hand-over holds for a
// long run of files and after the helper has gone to sleep.
TEST_F(PlatformFiles, FilesMadeAheadByTheHelperThread) {
    auto name = [&](int i) { return root + "\\先建 " + std::to_string(i) + ".txt"; };
    auto exists = [&](int i) {
        return platform.fileAttributes(name(i).c_str()) != kestrova::kInvalidAttributes;
    };
    for (int i = 0; i < 300; ++i) {
        platform.createAhead(name(i).c_str());
        File made = platform.takeCreatedAhead(name(i).c_str());
        ASSERT_TRUE(made.isOpen()) << i;
        ASSERT_TRUE(made.write(name(i).c_str()));
        ASSERT_TRUE(made.close());
        if (i == 150) Sleep(100);  // a helper left waiting a while still answers
    }
    File check = platform.openFile(name(7).c_str(), FileMode::Read);
    char text[64] = {};
    check.read(text, sizeof text - 1);
    check.close();
    EXPECT_EQ(name(7), text);

    // There already: not made, and not emptied.
    platform.createAhead(name(8).c_str());
    EXPECT_FALSE(platform.takeCreatedAhead(name(8).c_str()).isOpen());
    EXPECT_FALSE(platform.openFile(name(8).c_str(), FileMode::Read).size() == 0);
    // Not taken: deleted.
    platform.createAhead(name(300).c_str());
    EXPECT_FALSE(platform.takeCreatedAhead(name(301).c_str()).isOpen());
    EXPECT_FALSE(exists(300));
    EXPECT_FALSE(exists(301));
    platform.createAhead(name(302).c_str());
    platform.createAhead(name(303).c_str());
    EXPECT_FALSE(exists(302));
    platform.dropCreatedAhead();
    EXPECT_FALSE(exists(303));
    EXPECT_FALSE(platform.takeCreatedAhead(name(303).c_str()).isOpen());

    for (int i = 0; i < 300; ++i) EXPECT_TRUE(platform.deleteFile(name(i).c_str())) << i;
}

TEST_F(PlatformFiles, ChangeFolderMovesTheProcessIntoAChineseFolder) {
    wchar_t before[MAX_PATH];
    ASSERT_NE(nullptr, _wgetcwd(before, MAX_PATH));
    ASSERT_TRUE(platform.changeFolder(root.c_str()));
    wchar_t now[MAX_PATH];
    ASSERT_NE(nullptr, _wgetcwd(now, MAX_PATH));
    EXPECT_EQ(0, _wcsicmp(wideRoot.c_str(), now)) << "now in another folder";
    EXPECT_FALSE(platform.changeFolder((root + "\\没有这个目录").c_str()));
    ASSERT_EQ(0, _wchdir(before));
}

TEST_F(PlatformFiles, NamesThatAreNotGbkAreRefused) {
    // A lead byte without its trail byte: no file may be made under some
    // other name the system would substitute.
    std::string broken = root + "\\bad\x81";
    EXPECT_FALSE(platform.openFile(broken.c_str(), FileMode::Write).isOpen());
    EXPECT_FALSE(platform.makeFolder(broken.c_str()));
    EXPECT_FALSE(platform.changeFolder(broken.c_str()));
    EXPECT_EQ(kestrova::kInvalidAttributes, platform.fileAttributes(broken.c_str()));

    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((wideRoot + L"\\*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    int entries = 0;
    do {
        if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L"..")) ++entries;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_EQ(0, entries);
}

}  // namespace
