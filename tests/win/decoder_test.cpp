// The decoder through the real platform: a stream read from a package file
// with a Chinese name is written to a file with a Chinese name, which is
// then found by its UTF-16 name, in a process of either code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "gbk.h"
#include "package/lzss_decoder.h"
#include "platform/win32/win32_platform.h"
#include "wide_files.h"
#include "wizard/message_box_port.h"

namespace kestrova {
namespace {

using test::gbk;
using test::readWideFile;

// The wide name of a folder in the temporary folder, built without the
// platform's conversion.
std::wstring wideTempFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    DWORD n = GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp, n) + name;
}

class DecoderWin32 : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string suffix = std::to_string(GetCurrentProcessId());
        char temp[kSystemPathSize];
        ASSERT_TRUE(platform.tempFolder(temp, sizeof temp));
        folder = temp + gbk(u8"解压测试") + suffix;
        wideFolder = wideTempFolder(L"解压测试" + std::wstring(suffix.begin(), suffix.end()));
        ASSERT_TRUE(platform.makeFolder(folder.c_str()));
    }
    void TearDown() override {
        DeleteFileW((wideFolder + L"\\安装包.exe").c_str());
        DeleteFileW((wideFolder + L"\\说明 文件.txt").c_str());
        RemoveDirectoryW(wideFolder.c_str());
    }

    win32::Win32Platform platform;
    SetupState state;
    std::string folder;
    std::wstring wideFolder;
};

TEST_F(DecoderWin32, WritesAFileWithAChineseName) {
    // One group of two literals, an overlapping match and five literals,
    // then 5000 literals, so that the output is written in several blocks.
    std::string plain = "ababababxyzuv";
    std::string stream =
        "\xFB"
        "ab\xEE\xF3"
        "xyzuv";
    for (int i = 0; i < 5000; ++i) {
        char c = static_cast<char>('A' + i % 23);
        if (i % 8 == 0) stream += '\xFF';
        stream += c;
        plain += c;
    }
    const std::string packagePath = folder + gbk(u8"\\安装包.exe");
    {
        File package = platform.openFile(packagePath.c_str(), FileMode::Write);
        ASSERT_TRUE(package.isOpen());
        ASSERT_TRUE(package.write("HEADER"));
        ASSERT_TRUE(package.write(stream.data(), stream.size()));
        ASSERT_TRUE(package.close());
    }

    MessageBoxPort port(platform, nullptr);
    LzssDecoder decoder(platform, state, port);
    File package = platform.openFile(packagePath.c_str(), FileMode::Read);
    ASSERT_TRUE(package.isOpen());
    const std::string outputPath = folder + gbk(u8"\\说明 文件.txt");
    EXPECT_TRUE(
        decoder.decodeStream(&package, outputPath.c_str(), 6, static_cast<int32_t>(stream.size())));
    package.close();
    EXPECT_EQ(plain, readWideFile(wideFolder + L"\\说明 文件.txt"));
    EXPECT_FALSE(state.setupAborted);
}

}  // namespace
}  // namespace kestrova
