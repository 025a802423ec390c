// The uninstall logs on the real file system: logs with Chinese names in a
// Chinese folder, holding GBK paths, read back byte for byte.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "engine/uninstall_log.h"
#include "gbk.h"
#include "platform/win32/win32_platform.h"
#include "state/bounded_text.h"
#include "wizard/message_box_port.h"

namespace kestrova {
namespace {

using test::gbk;
using test::wideFromGbk;
using win32::Win32Platform;

class EngineLog : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[kSystemPathSize];
        ASSERT_TRUE(platform.tempFolder(temp, sizeof temp));
        top = std::string(temp) + "KestrovaLog" + std::to_string(GetCurrentProcessId());
        folder = top + gbk(u8"\\安装 目录");
        ASSERT_TRUE(platform.makeFolder(top.c_str()));
        ASSERT_TRUE(platform.makeFolder(folder.c_str()));
        copyText(state.installDir, folder.c_str());
        copyText(state.productName, gbk(u8"产品").c_str());
        copyText(state.uninstallOption, "1");
    }
    void TearDown() override {
        closeUninstallLogs(state);
        platform.deleteFile(state.dirLogPath);
        platform.deleteFile(state.fileLogPath);
        RemoveDirectoryW(wideFromGbk(folder).c_str());
        RemoveDirectoryW(wideFromGbk(top).c_str());
    }
    std::string read(const char* path) {
        File file = platform.openFile(path, FileMode::Read);
        std::string bytes;
        char buffer[512];
        std::size_t n;
        while ((n = file.read(buffer, sizeof buffer)) > 0) bytes.append(buffer, n);
        return bytes;
    }

    Win32Platform platform;
    SetupState state;
    std::string top;
    std::string folder;
};

TEST_F(EngineLog, GbkPathsAreWrittenAndReadBackUnchanged) {
    MessageBoxPort port(platform, nullptr);
    ASSERT_TRUE(openUninstallLogs(platform, port, state));
    // The logs carry their Chinese names on disk.
    EXPECT_NE(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW((wideFromGbk(folder) + L"\\产品dir.ini").c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW((wideFromGbk(folder) + L"\\产品file.ini").c_str()));

    const std::string sub = folder + gbk(u8"\\数据");
    const std::string deeper = folder + gbk(u8"\\数据\\图片");
    const std::string file = folder + gbk(u8"\\程序.exe");
    for (const std::string& path : {folder, deeper, sub}) {
        writeLog(state, LogKind::Directory, path.c_str());
        writeLog(state, LogKind::Directory, "\r\n");
    }
    writeLog(state, LogKind::File, file.c_str());
    writeLog(state, LogKind::File, "\r\n");
    writeLog(state, LogKind::File, "<NoneApp>\r\n");
    // On disk before the logs are closed.
    EXPECT_EQ(file + "\r\n<NoneApp>\r\n", read(state.fileLogPath));

    closeUninstallLogs(state);
    EXPECT_EQ(folder + "\r\n" + deeper + "\r\n" + sub + "\r\n", read(state.dirLogPath));
    rewriteDirectoryLog(platform, state);
    EXPECT_EQ(deeper + "\r\n" + sub + "\r\n" + folder + "\r\n", read(state.dirLogPath));
    EXPECT_EQ(file + "\r\n<NoneApp>\r\n", read(state.fileLogPath));
}

}  // namespace
}  // namespace kestrova
