// The licence inside its page through the real system: a page window, the
// view made from a licence file whose path is Chinese, and what the user
// then sees read back from the control with the page's id. Where the
// browser control has no HTML engine (Wine without Gecko) that is the text
// control holding the document's text; where it has one, the browser's
// window in place. And the browser control itself, hosted by our site.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "gbk.h"
#include "licence_files.h"
#include "platform/win32/browser_control.h"
#include "platform/win32/wide.h"
#include "resources/texts.h"
#include "wizard/licence_view_win.h"

namespace kestrova {
using win32::BrowserControl;
using win32::LicenceView;

namespace {

constexpr int kLicenceControl = 1002;
// Where the licence sits on a 548 x 250 page, above its two radio buttons.
constexpr RECT kArea = {12, 8, 536, 196};

std::wstring wideFromUtf8(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                                static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n : 0);
    return wide;
}

std::wstring windowText(HWND window) {
    std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
    text.resize(GetWindowTextW(window, &text[0], static_cast<int>(text.size())));
    return text;
}

void pumpMessages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}

// A top-level window standing in for the licence page, with the dialog
// font a page has.
class Page {
  public:
    Page() {
        window_ = CreateWindowExW(0, L"STATIC", L"licence page", WS_OVERLAPPEDWINDOW, 0, 0, 600,
                                  320, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(window_, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        ShowWindow(window_, SW_SHOW);
    }
    ~Page() { DestroyWindow(window_); }
    HWND get() const { return window_; }

  private:
    HWND window_;
};

// A licence file in the temporary folder under a Chinese name, deleted
// at the end; path() is its GBK path, as the setup holds it.
class LicenceFile {
  public:
    explicit LicenceFile(const std::string& bytes) {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        wide_ = std::wstring(folder) + L"\u8bb8\u53ef\u534f\u8baeDoc.htm";  // 许可协议Doc.htm
        HANDLE file = CreateFileW(wide_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
        CloseHandle(file);
        char gbk[MAX_PATH * 2];
        EXPECT_TRUE(win32::toGbk(wide_.c_str(), -1, gbk, sizeof gbk));
        path_ = gbk;
    }
    ~LicenceFile() { DeleteFileW(wide_.c_str()); }
    const char* path() const { return path_.c_str(); }

  private:
    std::wstring wide_;
    std::string path_;
};

bool inPlace(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return EqualRect(&rect, &kArea) && IsWindowVisible(control);
}

}  // namespace

TEST(LicenceView, ShowsTheLicenceInThePageAndGoesWithIt) {
    Page page;
    LicenceFile file(test::licenceDataFile("../../../examples/demo/licence.htm"));
    LicenceView view;
    DWORD start = GetTickCount();
    ASSERT_TRUE(view.show(page.get(), kLicenceControl, kArea, file.path()));
    std::printf("the demo licence shown in %lu ms\n", GetTickCount() - start);

    HWND control = GetDlgItem(page.get(), kLicenceControl);
    ASSERT_TRUE(control);
    EXPECT_EQ(control, view.window());
    EXPECT_TRUE(inPlace(control));
    std::printf("licence shown by the %s\n",
                view.showsBrowser() ? "browser control" : "read-only text control");
    if (view.showsBrowser()) {
        pumpMessages(2000);
        EXPECT_TRUE(GetWindow(control, GW_CHILD));  // the browser's own window
    } else {
        wchar_t kind[32] = {};
        GetClassNameW(control, kind, 32);
        EXPECT_EQ(_wcsicmp(kind, L"Edit"), 0) << kind;
        LONG style = GetWindowLongW(control, GWL_STYLE);
        EXPECT_EQ(style & (ES_READONLY | ES_MULTILINE | WS_VSCROLL),
                  ES_READONLY | ES_MULTILINE | WS_VSCROLL);
        EXPECT_EQ(windowText(control), wideFromUtf8(test::licenceDataFile("demo.txt")));
        // The page's font, not the system's.
        EXPECT_EQ(SendMessageW(control, WM_GETFONT, 0, 0),
                  SendMessageW(page.get(), WM_GETFONT, 0, 0));
    }
    view.close();
    EXPECT_FALSE(GetDlgItem(page.get(), kLicenceControl));
}

TEST(LicenceView, TextForGbkMissingAndOverlongLicences) {
    Page page;
    LicenceView view;
    std::string missing;
    {
        LicenceFile file(test::licenceDataFile("table-entities.htm"));
        missing = std::string(file.path()) + ".gone";
        ASSERT_TRUE(view.show(page.get(), kLicenceControl, kArea, file.path()));
        if (!view.showsBrowser()) {
            EXPECT_EQ(windowText(view.window()),
                      wideFromUtf8(test::licenceDataFile("table-entities.txt")));
        }
    }
    // A missing file: the view says so and names it, and the user can
    // still accept or decline.
    ASSERT_TRUE(view.show(page.get(), kLicenceControl, kArea, missing.c_str()));
    EXPECT_EQ(GetDlgItem(page.get(), kLicenceControl), view.window());
    if (!view.showsBrowser()) {
        EXPECT_EQ(windowText(view.window()), test::wideFromGbk(texts::kLicenceUnreadable) +
                                                 L"\r\n" + test::wideFromGbk(missing));
    }

    // Beyond its bounds the licence shows its beginning, then a note: a
    // text longer than the control is given, and a file longer than is
    // read (the cut falls inside a comment, so no text comes before it).
    std::wstring note = test::wideFromGbk(texts::kLicenceTruncated);
    std::string paragraphs = "<meta charset=utf-8>";
    while (paragraphs.size() < (400u << 10))
        paragraphs += u8"<p>本软件许可协议条款：安装、复制或使用本软件即表示您同意。</p>";
    std::string longFile = "<!--" + std::string(1100u << 10, '-') + u8"--><p>不显示</p>";
    for (const std::string* bytes : {&paragraphs, &longFile}) {
        LicenceFile file(*bytes);
        DWORD start = GetTickCount();
        ASSERT_TRUE(view.show(page.get(), kLicenceControl, kArea, file.path()));
        std::printf("a licence of %zu bytes shown in %lu ms\n", bytes->size(),
                    GetTickCount() - start);
        if (view.showsBrowser()) continue;
        std::wstring text = windowText(view.window());
        ASSERT_GE(text.size(), note.size());
        EXPECT_EQ(text.substr(text.size() - note.size()), note);
        EXPECT_LE(text.size(), win32::kLicenceTextLimit + 4 + note.size());
        if (bytes == &paragraphs) {
            EXPECT_GT(text.size(), win32::kLicenceTextLimit - 100);
            EXPECT_EQ(text.substr(0, 8), L"\u672c\u8f6f\u4ef6\u8bb8\u53ef\u534f\u8bae\u6761");
        } else {
            EXPECT_EQ(text, note);
        }
    }
}

// The control comes up in our site and fills its host even where it has
// no HTML engine to show documents with (this is Wine's case without
// Gecko, and why the view asks for the engine first).
TEST(BrowserControl, IsHostedInPlaceByOurSite) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    {
        Page page;
        HWND host =
            CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, kArea.left,
                            kArea.top, kArea.right - kArea.left, kArea.bottom - kArea.top,
                            page.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
        std::printf("HTML engine %s\n",
                    BrowserControl::htmlEngineAvailable() ? "available" : "missing");
        BrowserControl browser;
        ASSERT_TRUE(browser.create(host));
        HWND inner = GetWindow(host, GW_CHILD);
        ASSERT_TRUE(inner);
        RECT innerRect, hostRect;
        GetClientRect(inner, &innerRect);
        GetClientRect(host, &hostRect);
        EXPECT_TRUE(EqualRect(&innerRect, &hostRect));
        browser.close();
        pumpMessages(200);
        EXPECT_FALSE(GetWindow(host, GW_CHILD));
    }
    OleUninitialize();
}

}  // namespace kestrova
