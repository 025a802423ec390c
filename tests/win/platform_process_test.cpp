// Processes through the real platform: a child's exit code, a GBK command
// line reaching the child intact, and programs that do not exist.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "gbk.h"
#include "platform/win32/win32_platform.h"

using kestrova::win32::Win32Platform;

using kestrova::test::wideFromGbk;

namespace {

TEST(PlatformProcess, RunWaitsAndReturnsTheExitCode) {
    Win32Platform platform;
    uint32_t code = 0;
    ASSERT_TRUE(platform.runProcess("cmd /c exit 3", kestrova::kSwHide, &code));
    EXPECT_EQ(3u, code);
    ASSERT_TRUE(platform.runProcess("cmd.exe /c exit 0", kestrova::kSwShow, &code));
    EXPECT_EQ(0u, code);
}

TEST(PlatformProcess, ChineseCommandLineReachesTheChild) {
    Win32Platform platform;
    char temp[kestrova::kSystemPathSize];
    ASSERT_TRUE(platform.tempFolder(temp, sizeof temp));
    std::string folder = std::string(temp) + "进程测试 " + std::to_string(GetCurrentProcessId());
    std::wstring wide = wideFromGbk(folder);

    // The child makes the folder; when run, the folder exists under the
    // UTF-16 name, so the child saw the same text.
    uint32_t code = 99;
    ASSERT_TRUE(
        platform.runProcess(("cmd /c mkdir \"" + folder + "\"").c_str(), kestrova::kSwHide, &code));
    EXPECT_EQ(0u, code);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    RemoveDirectoryW(wide.c_str());
}

TEST(PlatformProcess, ProgramsThatCannotStartFail) {
    Win32Platform platform;
    uint32_t code = 1234;
    EXPECT_FALSE(platform.runProcess("C:\\没有这个目录\\nothing.exe", kestrova::kSwShow, &code));
    EXPECT_EQ(1234u, code);
    EXPECT_FALSE(platform.runProcess("", kestrova::kSwShow, &code));
    EXPECT_FALSE(platform.runProcess("cmd \x81", kestrova::kSwShow, &code));
    EXPECT_EQ(1234u, code);

    EXPECT_FALSE(platform.startProgram("C:\\没有这个目录\\nothing.exe", kestrova::kSwShow));
}

TEST(PlatformProcess, StartDoesNotWait) {
    Win32Platform platform;
    char temp[kestrova::kSystemPathSize];
    ASSERT_TRUE(platform.tempFolder(temp, sizeof temp));
    std::string marker = std::string(temp) + "启动测试" + std::to_string(GetCurrentProcessId());
    std::wstring wide = wideFromGbk(marker);

    // The child makes the folder about two seconds later; start returns
    // before that, and the folder appears afterwards.
    std::string command = "cmd /c ping -n 3 127.0.0.1 >nul & mkdir \"" + marker + "\"";
    DWORD started = GetTickCount();
    ASSERT_TRUE(platform.startProgram(command.c_str(), kestrova::kSwHide));
    EXPECT_LT(GetTickCount() - started, 1500u) << "start waited for the program";
    bool appeared = false;
    for (int i = 0; i < 200 && !appeared; ++i) {
        appeared = GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!appeared) Sleep(50);
    }
    EXPECT_TRUE(appeared);
    RemoveDirectoryW(wide.c_str());
}

}  // namespace
