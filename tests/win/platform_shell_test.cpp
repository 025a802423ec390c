// Shortcuts with Chinese names and fields through the real shell link
// object, read back through IShellLinkW; fonts and documents that fail.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which they build on
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <string>

#include "gbk.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/win32_platform.h"

using kestrova::ShellLinkFields;
using kestrova::win32::ComPtr;
using kestrova::win32::ComScope;
using kestrova::win32::Win32Platform;

using kestrova::test::wideFromGbk;

namespace {

struct SaveProbe {
    int calls = 0;
    std::wstring linkPath;
    bool existedBeforeSave = false;
};

void recordSave(void* context) {
    SaveProbe* probe = static_cast<SaveProbe*>(context);
    ++probe->calls;
    probe->existedBeforeSave =
        GetFileAttributesW(probe->linkPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class PlatformShell : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[kestrova::kSystemPathSize];
        ASSERT_TRUE(platform.tempFolder(temp, sizeof temp));
        folder = std::string(temp) + "快捷方式测试" + std::to_string(GetCurrentProcessId());
        wideFolder = wideFromGbk(folder);
        ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
        // A real target, so the shell resolves it as it would an installed file.
        target = folder + "\\应用 程序.exe";
        HANDLE file = CreateFileW(wideFromGbk(target).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        CloseHandle(file);
    }
    void TearDown() override {
        DeleteFileW((wideFolder + L"\\我的 程序.lnk").c_str());
        DeleteFileW((wideFolder + L"\\应用 程序.exe").c_str());
        RemoveDirectoryW(wideFolder.c_str());
    }

    Win32Platform platform;
    std::string folder, target;
    std::wstring wideFolder;
};

TEST_F(PlatformShell, ShortcutWithChineseFieldsReadsBackThroughTheShell) {
    std::string linkPath = folder + "\\我的 程序.lnk";
    std::string arguments = "/日志 \"D:\\软件\\测试file.ini\"";
    ShellLinkFields fields{target.c_str(), arguments.c_str(), folder.c_str(), "我的 程序",
                           kestrova::kSwShowMaximized};
    SaveProbe probe;
    probe.linkPath = wideFromGbk(linkPath);
    ASSERT_TRUE(platform.createShellLink(fields, linkPath.c_str(), recordSave, &probe));
    EXPECT_EQ(1, probe.calls);
    EXPECT_FALSE(probe.existedBeforeSave) << "beforeSave ran after the save";

    ComScope com;
    ASSERT_TRUE(com.initialize());
    ComPtr<IShellLinkW> link;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkW, link.outVoid()));
    ComPtr<IPersistFile> persist;
    ASSERT_TRUE(link.query(IID_IPersistFile, &persist));
    ASSERT_EQ(S_OK, persist->Load(wideFromGbk(linkPath).c_str(), STGM_READ));

    // The target through the link's item list, which carries UTF-16 names.
    // (Wine reads the raw path back from the file's ANSI copy of it, so in
    // another code page it returns question marks there; Windows keeps a
    // UTF-16 copy too.)
    wchar_t text[MAX_PATH * 2];
    LPITEMIDLIST items = nullptr;
    ASSERT_EQ(S_OK, link->GetIDList(&items));
    ASSERT_TRUE(SHGetPathFromIDListW(items, text));
    CoTaskMemFree(items);
    EXPECT_EQ(0, _wcsicmp(wideFromGbk(target).c_str(), text)) << "target differs";
    if (GetACP() == 936) {
        ASSERT_EQ(S_OK, link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH));
        EXPECT_EQ(0, _wcsicmp(wideFromGbk(target).c_str(), text)) << "raw path differs";
    }
    ASSERT_EQ(S_OK, link->GetArguments(text, MAX_PATH * 2));
    EXPECT_STREQ(L"/日志 \"D:\\软件\\测试file.ini\"", text);
    ASSERT_EQ(S_OK, link->GetWorkingDirectory(text, MAX_PATH));
    EXPECT_EQ(wideFolder, text);
    ASSERT_EQ(S_OK, link->GetDescription(text, MAX_PATH));
    EXPECT_STREQ(L"我的 程序", text);

    // The show command from the file's header (offset 0x3C), which Wine's
    // loader does not hand back.
    FILE* file = _wfopen(wideFromGbk(linkPath).c_str(), L"rb");
    ASSERT_NE(nullptr, file);
    unsigned char header[0x4C] = {};
    std::size_t n = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    ASSERT_EQ(sizeof header, n);
    EXPECT_EQ(0x4Cu, header[0]) << "not a shell link file";
    EXPECT_EQ(kestrova::kSwShowMaximized, header[0x3C] | header[0x3D] << 8);
}

TEST_F(PlatformShell, FailedSavesAndUnusableFields) {
    ShellLinkFields fields{target.c_str(), "", folder.c_str(), "程序", kestrova::kSwShow};

    // No such folder: the link object was made, so beforeSave ran (the run
    // logs the path), but nothing was saved.
    std::string nowhere = folder + "\\没有这个目录\\程序.lnk";
    SaveProbe probe;
    probe.linkPath = wideFromGbk(nowhere);
    EXPECT_FALSE(platform.createShellLink(fields, nowhere.c_str(), recordSave, &probe));
    EXPECT_EQ(1, probe.calls);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(probe.linkPath.c_str()));

    // A target that is not GBK: no shortcut to some other file, and no
    // beforeSave either.
    std::string brokenTarget = folder + "\\bad\x81";
    ShellLinkFields broken{brokenTarget.c_str(), "", folder.c_str(), "程序", kestrova::kSwShow};
    std::string linkPath = folder + "\\我的 程序.lnk";
    probe = SaveProbe();
    EXPECT_FALSE(platform.createShellLink(broken, linkPath.c_str(), recordSave, &probe));
    EXPECT_EQ(0, probe.calls);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(wideFromGbk(linkPath).c_str()));

    // A null callback is allowed.
    EXPECT_TRUE(platform.createShellLink(fields, linkPath.c_str(), nullptr, nullptr));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(wideFromGbk(linkPath).c_str()));
}

TEST_F(PlatformShell, FontFromAChineseNamedFileIsAdded) {
    // Any TrueType font the machine has, copied under a Chinese name.
    const wchar_t* candidates[] = {L"Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf",
                                   L"C:\\Windows\\Fonts\\arial.ttf"};
    std::wstring font = wideFolder + L"\\字体 测试.ttf";
    bool copied = false;
    for (const wchar_t* candidate : candidates) {
        copied = copied || CopyFileW(candidate, font.c_str(), FALSE);
    }
    if (!copied) GTEST_SKIP() << "no TrueType font on this machine to copy";
    // The system found and read the file under its UTF-16 name: a name
    // converted wrongly would not exist, and a file that is not a font adds
    // nothing (below).
    EXPECT_TRUE(platform.addFont((folder + "\\字体 测试.ttf").c_str()));
    // Wine cannot take a font back out (its RemoveFontResource fails even
    // for ASCII names); Windows can.
    RemoveFontResourceW(font.c_str());
    EXPECT_TRUE(DeleteFileW(font.c_str()));
}

TEST_F(PlatformShell, FontsAndDocumentsThatDoNotExistFail) {
    std::string missing = folder + "\\没有的字体.ttf";
    EXPECT_FALSE(platform.addFont(missing.c_str()));
    // Not a font at all.
    EXPECT_FALSE(platform.addFont(target.c_str()));
    EXPECT_FALSE(platform.shellOpen((folder + "\\没有的文档.txt").c_str(), kestrova::kSwShow));
}

}  // namespace
