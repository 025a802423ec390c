// Message boxes and control texts through the real platform: the GBK text
// reaches the window as the right UTF-16, in a process of either code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/win32_platform.h"

using kestrova::win32::Win32Platform;

namespace {

// A message box shown on a thread of its own, as the install run shows
// them from its worker thread.
struct BoxRequest {
    const char* text;
    const char* caption;
    uint32_t style;
    int answer = -1;
};

DWORD WINAPI showBox(void* parameter) {
    BoxRequest* request = static_cast<BoxRequest*>(parameter);
    Win32Platform platform;
    request->answer = platform.messageBox(nullptr, request->text, request->caption, request->style);
    return 0;
}

BOOL CALLBACK takeDialog(HWND window, LPARAM found) {
    wchar_t name[16];
    if (GetClassNameW(window, name, 16) && wcscmp(name, L"#32770") == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// The box that thread shows, waited for up to ten seconds.
HWND findBox(DWORD threadId) {
    for (int i = 0; i < 200; ++i) {
        HWND box = nullptr;
        EnumThreadWindows(threadId, takeDialog, reinterpret_cast<LPARAM>(&box));
        if (box && IsWindowVisible(box)) return box;
        Sleep(50);
    }
    return nullptr;
}

struct ShownBox {
    std::wstring caption, text;
    int defaultButton = 0;
    int answer = -1;
};

// Shows a box from a second thread, reads what it shows, then presses
// the given button.
bool showAndAnswer(const char* text, const char* caption, uint32_t style, int button,
                   ShownBox* shown) {
    BoxRequest request{text, caption, style};
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, showBox, &request, 0, &threadId);
    if (!thread) return false;
    HWND box = findBox(threadId);
    if (box) {
        wchar_t buffer[512] = {};
        GetWindowTextW(box, buffer, 512);
        shown->caption = buffer;
        // A message box shows its text in the static control 0xFFFF.
        buffer[0] = L'\0';
        GetDlgItemTextW(box, 0xFFFF, buffer, 512);
        shown->text = buffer;
        // The default button is the one drawn as the default push button.
        for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
            HWND button = GetDlgItem(box, id);
            if (button && (GetWindowLongW(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON) {
                shown->defaultButton = id;
            }
        }
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
    bool ended = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
    CloseHandle(thread);
    shown->answer = request.answer;
    return box && ended;
}

TEST(PlatformUi, MessageBoxShowsTheGbkTextsIntact) {
    ShownBox shown;
    ASSERT_TRUE(showAndAnswer("创建程序进程失败!", "错误", kestrova::kMbOk | kestrova::kMbIconError,
                              kestrova::kIdOk, &shown))
        << "no message box appeared (is there a display?)";
    EXPECT_EQ(L"错误", shown.caption);
    EXPECT_EQ(L"创建程序进程失败!", shown.text);
    EXPECT_EQ(kestrova::kIdOk, shown.answer);

    // A question with No as the default button, answered Yes.
    ShownBox question;
    ASSERT_TRUE(
        showAndAnswer("D:\\软件\\测试.exe\n时出错，是否终止软件的安装？", "安装",
                      kestrova::kMbYesNo | kestrova::kMbIconQuestion | kestrova::kMbDefButton2,
                      kestrova::kIdYes, &question));
    EXPECT_EQ(L"安装", question.caption);
    EXPECT_EQ(L"D:\\软件\\测试.exe\n时出错，是否终止软件的安装？", question.text);
    EXPECT_EQ(kestrova::kIdNo, question.defaultButton);
    EXPECT_EQ(kestrova::kIdYes, question.answer);

    // A text with a broken last byte is still shown, not emptied.
    ShownBox broken;
    ASSERT_TRUE(showAndAnswer("路径 C:\\a\x81", "错误", kestrova::kMbOk, kestrova::kIdOk, &broken));
    EXPECT_EQ(0u, broken.text.rfind(L"路径 C:\\a", 0)) << "shown: " << broken.text.size();
}

TEST(PlatformUi, ControlTextIsSetInUtf16) {
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 50, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, parent) << "no window could be made (is there a display?)";
    HWND status = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 200, 20, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(65530)),
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, status);

    Win32Platform platform;
    platform.setControlText(parent, 65530, "正在复制文件 C:\\程序\\应用.exe");
    wchar_t text[128] = {};
    GetWindowTextW(status, text, 128);
    EXPECT_STREQ(L"正在复制文件 C:\\程序\\应用.exe", text);

    platform.setControlText(parent, 65530, "");
    GetWindowTextW(status, text, 128);
    EXPECT_STREQ(L"", text);
    DestroyWindow(parent);
}

}  // namespace
