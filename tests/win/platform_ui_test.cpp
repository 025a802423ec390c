// Message boxes and control texts through the real platform: the GBK text
// reaches the window as the right UTF-16, in a process of either code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/win32_platform.h"
#include "platform/win32/worker_thread.h"
#include "wizard/progress_page_win.h"
#include "wizard/status_line_win.h"

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

    // The progress page's port writes the status line (control 65530).
    Win32Platform platform;
    kestrova::ProgressPort port(platform);
    port.setOwner(parent);
    port.status("正在复制文件 C:\\程序\\应用.exe");
    wchar_t text[128] = {};
    GetWindowTextW(status, text, 128);
    EXPECT_STREQ(L"正在复制文件 C:\\程序\\应用.exe", text);

    port.status("");
    GetWindowTextW(status, text, 128);
    EXPECT_STREQ(L"", text);
    DestroyWindow(parent);
}

// A page that takes the worker's posted status texts as the wizard's pages
// do, and a status line that counts how often its text is set.
WNDPROC pageBase = nullptr;
WNDPROC lineBase = nullptr;
int lineUpdates = 0;

LRESULT CALLBACK statusPage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (kestrova::win32::applyPostedStatusText(window, message)) return 0;
    return CallWindowProcW(pageBase, window, message, wParam, lParam);
}

LRESULT CALLBACK countedLine(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT) ++lineUpdates;
    return CallWindowProcW(lineBase, window, message, wParam, lParam);
}

struct Burst {
    HWND page;
    int first, count;
};

void setTexts(void* context) {
    auto* burst = static_cast<Burst*>(context);
    for (int i = burst->first; i < burst->first + burst->count; ++i)
        kestrova::win32::setStatusText(burst->page, 65531, (L"file " + std::to_wstring(i)).c_str());
}

DWORD WINAPI setTextsThread(void* context) {
    setTexts(context);
    return 0;
}

std::wstring lineText(HWND line) {
    wchar_t text[64] = {};
    GetWindowTextW(line, text, 64);
    return text;
}

TEST(PlatformUi, WorkerStatusTextsEndOnTheLatestWithoutAnUpdateEach) {
    HWND page = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 50, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, page) << "no window could be made (is there a display?)";
    HWND line = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 200, 20, page,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(65531)),
                                GetModuleHandleW(nullptr), nullptr);
    pageBase = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(statusPage)));
    lineBase = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(line, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countedLine)));

    for (int round = 0; round < 2; ++round) {
        // A burst of texts, as a run of small files makes: when the worker
        // helper returns, the line shows the last one, after a few updates.
        lineUpdates = 0;
        Burst burst{page, round * 1000, 1000};
        kestrova::win32::WorkerThread worker;
        ASSERT_TRUE(worker.start(setTexts, &burst));
        worker.wait();
        kestrova::win32::showWaitingStatusText();  // as the progress page does
        EXPECT_EQ(L"file " + std::to_wstring(round * 1000 + 999), lineText(line));
        EXPECT_LT(lineUpdates, 100) << round;

        // Once the line is idle, a single text from another thread arrives
        // through its own notice, with no helper to show it.
        for (DWORD end = GetTickCount() + 300; GetTickCount() < end; Sleep(5)) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        }
        Burst single{page, 5000 + round, 1};
        HANDLE thread = CreateThread(nullptr, 0, setTextsThread, &single, 0, nullptr);
        ASSERT_NE(nullptr, thread);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        for (DWORD end = GetTickCount() + 5000;
             lineText(line) != L"file " + std::to_wstring(5000 + round) && GetTickCount() < end;
             Sleep(5)) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        }
        EXPECT_EQ(L"file " + std::to_wstring(5000 + round), lineText(line)) << round;
    }
    DestroyWindow(page);
}

}  // namespace
