// A whole installation on the real system: a setup.exe made by kpack is
// read as start-up reads it, then installRun works on a worker thread
// against a hidden window whose control 65530 stands in for the progress
// page's status line. Everything it did is checked through the system:
// files, folders, logs, registry, .lnk files, a font, a component registered
// by the real regsvr32, a program run and awaited, and a file opened with its
// associated program.
#include "engine/install_run.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include <string>

#include "engine/path_macros.h"
#include "engine/script_header.h"
#include "engine/uninstall_log.h"
#include "gbk.h"
#include "package/format.h"
#include "package/lzss_decoder.h"
#include "package/package_header.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/worker_thread.h"
#include "resources/resource_ids.h"
#include "startup/extract_package.h"
#include "state/bounded_text.h"
#include "wide_files.h"
#include "wizard/progress_page_win.h"
#include "wizard/status_line_win.h"

namespace k = kestrova;
using kestrova::test::gbk;
using kestrova::test::readWideFile;

namespace {

// Made by kpack before this test runs (see tests/CMakeLists.txt).
const char kPackage[] = KESTROVA_INSTALL_PACKAGE;
const char kSources[] = KESTROVA_INSTALL_SOURCES;
const wchar_t kFontList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

std::wstring wide(const std::string& utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring out(n - 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &out[0], n);
    return out;
}

// Compares file contents without printing binaries on failure.
::testing::AssertionResult sameBytes(const std::string& expected, const std::string& actual) {
    if (expected == actual) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "expected " << expected.size() << " bytes, found "
           << (actual == "<missing>" ? "no file"
                                     : std::to_string(actual.size()) + " different bytes");
}

std::wstring regString(HKEY root, const std::wstring& key, const std::wstring& name) {
    wchar_t data[1024];
    DWORD size = sizeof data;
    if (RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return L"<missing>";
    return data;
}

struct LinkFields {
    std::wstring target, arguments, folder, description;
    int show = -1;
};

LinkFields readLink(const std::wstring& path) {
    LinkFields fields;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return fields;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
            wchar_t text[MAX_PATH * 2];
            // The item list holds the target in UTF-16; Wine keeps the path
            // string only in the ANSI code page, which has no Chinese in an
            // English locale.
            PIDLIST_ABSOLUTE items = nullptr;
            if (SUCCEEDED(link->GetIDList(&items)) && items) {
                if (SHGetPathFromIDListW(items, text)) fields.target = text;
                CoTaskMemFree(items);
            }
            if (SUCCEEDED(link->GetArguments(text, MAX_PATH * 2))) fields.arguments = text;
            if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH * 2))) fields.folder = text;
            if (SUCCEEDED(link->GetDescription(text, MAX_PATH * 2))) fields.description = text;
            link->GetShowCmd(&fields.show);
        }
        file->Release();
    }
    link->Release();
    return fields;
}

int CALLBACK countFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    ++*reinterpret_cast<int*>(found);
    return 1;
}

bool fontFamilyKnown(const wchar_t* family) {
    LOGFONTW font{};
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, family, LF_FACESIZE);
    int found = 0;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &font, countFamily, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found > 0;
}

std::wstring specialFolder(int id) {
    wchar_t path[MAX_PATH];
    return SUCCEEDED(SHGetFolderPathW(nullptr, id, nullptr, 0, path)) ? path : L"";
}

WNDPROC pageBase = nullptr;

LRESULT CALLBACK standInPage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (k::win32::applyPostedStatusText(window, message)) return 0;
    return CallWindowProcW(pageBase, window, message, wParam, lParam);
}

class InstallOnWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitialize(nullptr);
        cleanUp();
        // The file association the package's readme.ktx is opened with: the
        // installed marker program, which records the file it was given.
        HKEY key;
        RegCreateKeyW(HKEY_CLASSES_ROOT, L".ktx", &key);
        RegSetValueW(key, nullptr, REG_SZ, L"KestrovaTest.Document", 0);
        RegCloseKey(key);
        RegCreateKeyW(HKEY_CLASSES_ROOT, L"KestrovaTest.Document\\shell\\open\\command", &key);
        std::wstring command = L"\"" + installDir() + L"\\bin\\marker.exe\" \"%1\"";
        RegSetValueW(key, nullptr, REG_SZ, command.c_str(), 0);
        RegCloseKey(key);

        page = CreateWindowExW(0, L"STATIC", L"progress", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
        // The page takes the worker's posted status texts, as the progress
        // page does.
        pageBase = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(standInPage)));
        port.setOwner(page);
        status = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, page,
                                 reinterpret_cast<HMENU>(IDC_STATUS_LINE), nullptr, nullptr);
    }
    void TearDown() override {
        DestroyWindow(page);
        cleanUp();
        CoUninitialize();
    }

    static std::wstring installDir() {
        return specialFolder(CSIDL_PROGRAM_FILES) + L"\\" + wide(u8"安装测试");
    }
    std::wstring groupDir() {
        return specialFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + wide(u8"安装测试");
    }
    static std::wstring fontFile() {
        return specialFolder(CSIDL_FONTS) + L"\\" + wide(u8"测试字体.ttf");
    }
    void cleanUp() {
        // A font left in the Fonts folder would be loaded by every later
        // process of the prefix.
        DeleteFileW(fontFile().c_str());
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kFontList, wide(u8"测试字体 (TrueType)").c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KestrovaTest");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L".ktx");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"KestrovaTest.Document");
        RegDeleteTreeW(
            HKEY_LOCAL_MACHINE,
            (L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + wide(u8"安装测试"))
                .c_str());
        for (const std::wstring& folder : {installDir(), groupDir()}) {
            std::wstring from = folder + L'\0';
            SHFILEOPSTRUCTW op{};
            op.wFunc = FO_DELETE;
            op.pFrom = from.c_str();
            op.fFlags = FOF_NO_UI;
            SHFileOperationW(&op);
        }
        DeleteFileW(
            (specialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\" + wide(u8"测试程序.lnk")).c_str());
        DeleteFileW((specialFolder(CSIDL_COMMON_STARTUP) + L"\\" + wide(u8"测试程序.lnk")).c_str());
    }

    // Reads the package as start-up does, then opens the logs and runs the
    // installation on a worker thread, as the progress page does.
    void install() {
        ASSERT_TRUE(k::makeTempNames(platform, state));
        ASSERT_TRUE(k::copyText(state.packagePath, kPackage));
        state.packageOffset = k::kPackageStart;
        {
            k::LzssDecoder decoder(platform, state, port);
            ASSERT_TRUE(k::readPackageHeader(platform, state, decoder));
        }
        ASSERT_TRUE(k::readScriptHeader(platform, port, state));
        k::createFolderPath(platform, state.installDir);
        ASSERT_TRUE(k::openUninstallLogs(platform, port, state));
        // The worker helper of the progress page: it keeps this thread's
        // messages flowing while the run works.
        k::win32::WorkerThread worker;
        ASSERT_TRUE(worker.start(runInstall, this));
        worker.wait();
        k::win32::showWaitingStatusText();
        k::deleteTempFiles(platform, state);
    }

    static void runInstall(void* self) {
        auto* test = static_cast<InstallOnWindows*>(self);
        k::installRun(test->platform, test->port, test->state);
    }

    std::string source(const char* name) {
        return readWideFile(wide(std::string(kSources) + "\\" + name));
    }

    k::win32::Win32Platform platform;
    k::ProgressPort port{platform};
    k::SetupState state;
    HWND page = nullptr;
    HWND status = nullptr;
};

TEST_F(InstallOnWindows, InstallsEverythingThePackageSays) {
    ASSERT_FALSE(fontFamilyKnown(L"Kestrova Test Font"));
    install();
    ASSERT_FALSE(state.setupAborted.load());
    EXPECT_EQ(state.fileCount + 1, state.filesDone.load());
    EXPECT_EQ(gbk(u8"C:\\Program Files\\安装测试"), state.installDir);

    // Files byte for byte, in folders the run created.
    const std::wstring dir = installDir();
    EXPECT_TRUE(sameBytes(source("readme.txt"), readWideFile(dir + L"\\" + wide(u8"说明.txt"))));
    EXPECT_TRUE(sameBytes(source("marker.exe"), readWideFile(dir + L"\\bin\\marker.exe")));
    EXPECT_TRUE(sameBytes(source("component.dll"), readWideFile(dir + L"\\bin\\component.dll")));
    EXPECT_TRUE(sameBytes(source("font.ttf"), readWideFile(dir + L"\\fonts\\test.ttf")));
    EXPECT_EQ("<missing>", readWideFile(dir + L"\\settings.reg"));  // imported, then deleted

    // The program ran and was awaited: its marker is there already.
    std::string marker = readWideFile(dir + L"\\bin\\marker.txt");
    EXPECT_NE(std::string::npos, marker.find("marker.exe")) << marker;
    // The component registered itself through the real regsvr32.
    EXPECT_EQ(L"registered",
              regString(HKEY_CURRENT_USER, L"Software\\KestrovaTest\\Component", L"State"));
    // The registry data file's values.
    EXPECT_EQ(
        wide(u8"C:\\数据\\路径"),
        regString(HKEY_CURRENT_USER, L"Software\\KestrovaTest\\" + wide(u8"设置"), wide(u8"路径")));
    // The font was added to the font table: its family is known now. The
    // copy in the Fonts folder is named in the font list (the file has no
    // full name, so by its base name); the other one is not.
    EXPECT_TRUE(fontFamilyKnown(L"Kestrova Test Font"));
    EXPECT_TRUE(sameBytes(source("font.ttf"), readWideFile(fontFile())));
    EXPECT_EQ(wide(u8"测试字体.ttf"),
              regString(HKEY_LOCAL_MACHINE, kFontList, wide(u8"测试字体 (TrueType)")));
    EXPECT_EQ(L"<missing>", regString(HKEY_LOCAL_MACHINE, kFontList, L"test (TrueType)"));

    // The opened file reaches its associated program, which is not awaited.
    for (int i = 0; i < 100 && marker.find("readme.ktx") == std::string::npos; ++i) {
        Sleep(100);
        marker = readWideFile(dir + L"\\bin\\marker.txt");
    }
    EXPECT_NE(std::string::npos, marker.find("readme.ktx")) << marker;

    // Shortcuts, read back through the shell link object.
    LinkFields link = readLink(groupDir() + L"\\" + wide(u8"测试程序.lnk"));
    EXPECT_EQ(dir + L"\\bin\\marker.exe", link.target);
    EXPECT_EQ(wide(u8"/示例 参数"), link.arguments);
    EXPECT_EQ(dir + L"\\bin", link.folder);
    EXPECT_EQ(wide(u8"测试程序"), link.description);
    // Wine does not give the show command back through the link object, so
    // it is read from the file's header (a 32-bit field at byte 60).
    std::string linkBytes = readWideFile(groupDir() + L"\\" + wide(u8"测试程序.lnk"));
    ASSERT_GE(linkBytes.size(), 64u);
    EXPECT_EQ(SW_SHOW, static_cast<unsigned char>(linkBytes[60]));
    EXPECT_EQ(
        dir + L"\\bin\\marker.exe",
        readLink(specialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\" + wide(u8"测试程序.lnk")).target);
    LinkFields uninstaller = readLink(groupDir() + L"\\" + wide(u8"卸载安装测试.lnk"));
    EXPECT_NE(std::wstring::npos, uninstaller.target.find(L"Kestrova-UnInstall.exe"));
    EXPECT_EQ(dir + L"\\" + wide(u8"安装测试file.ini"), uninstaller.arguments);

    // The uninstall entry, exactly.
    std::wstring entry =
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + wide(u8"安装测试");
    EXPECT_EQ(wide(u8"安装测试"), regString(HKEY_LOCAL_MACHINE, entry, L"DisplayName"));
    EXPECT_EQ(specialFolder(CSIDL_WINDOWS) + L"\\Kestrova-UnInstall.exe " + dir + L"\\" +
                  wide(u8"安装测试file.ini"),
              regString(HKEY_LOCAL_MACHINE, entry, L"UninstallString"));

    // The logs, as GBK bytes.
    std::string dirGbk = gbk(u8"C:\\Program Files\\安装测试");
    std::string fileLog = readWideFile(dir + L"\\" + wide(u8"安装测试file.ini"));
    EXPECT_EQ(0u, fileLog.find(dirGbk + "\\" + gbk(u8"说明.txt") + "\r\n")) << fileLog;
    EXPECT_NE(std::string::npos, fileLog.find(gbk(u8"测试程序.lnk\r\n")));
    // Registry data files are listed too, though imported and deleted.
    EXPECT_NE(std::string::npos, fileLog.find("settings.reg\r\n"));
    std::string dirLog = readWideFile(dir + L"\\" + wide(u8"安装测试dir.ini"));
    std::size_t fonts = dirLog.find(dirGbk + "\\fonts\r\n");
    std::size_t bin = dirLog.find(dirGbk + "\\bin\r\n");
    std::size_t top = dirLog.find(dirGbk + "\r\n");
    // Longest first, so a folder comes before the folder that holds it.
    EXPECT_LT(fonts, bin) << dirLog;
    EXPECT_LT(bin, top) << dirLog;
    EXPECT_NE(std::string::npos, top) << dirLog;

    // The status line ends on the last action.
    wchar_t text[256];
    GetWindowTextW(status, text, 256);
    EXPECT_EQ(wide(u8"安装程序正在更新你的系统..."), text);
}

}  // namespace
