#include "uninstall_window_win.h"

#include <commctrl.h>

#include "layout/window_layout.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/window_metrics.h"
#include "resources/texts.h"
#include "uninstaller/uninstall_messages.h"
#include "uninstaller/uninstall_run.h"
#include "uninstaller_ids.h"

namespace kestrova {
namespace {

// The bar's range: steps are scaled to it so any number of them fits.
constexpr int kProgressRange = 1000;
// How long the finished bar stays before the closing message, so that the
// window does not merely flash on a small product.
constexpr DWORD kFinishedPause = 400;

INT_PTR CALLBACK dialogProc(HWND, UINT message, WPARAM, LPARAM) {
    // No close box and nothing to cancel: a removal stopped half way would
    // leave a product that can be neither used nor uninstalled again.
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

void pumpMessages(HWND dialog) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void setText(HWND dialog, int id, const char* gbk) {
    win32::Wide text(gbk, win32::Conversion::Lenient);
    SetDlgItemTextW(dialog, id, text);
}

// The icon, the two lines and the bar in pixels of the display's size set,
// the status line as wide as its text; the window fitted around them, in
// the screen's middle. The path line cuts a long path with an ellipsis.
void placeControls(HWND dialog) {
    const StatusLayout layout =
        statusLayout(sizeSetFor(win32::screenDpi()),
                     FontMeasure{win32::lineHeightOf(dialog), win32::checkMarkSize()},
                     GetSystemMetrics(SM_CXICON),
                     win32::ownTextWidth(GetDlgItem(dialog, IDC_UNINSTALL_STATUS)), true);
    const int ids[] = {IDC_UNINSTALL_ICON, IDC_UNINSTALL_STATUS, IDC_UNINSTALL_PATH,
                       IDC_UNINSTALL_PROGRESS};
    const Box boxes[] = {layout.icon, layout.lines[0], layout.lines[1], layout.bar};
    for (int i = 0; i < 4; ++i)
        MoveWindow(GetDlgItem(dialog, ids[i]), boxes[i].left, boxes[i].top, boxes[i].width,
                   boxes[i].height, FALSE);
    win32::sizeAndCentre(dialog, layout.clientWidth, layout.clientHeight);
}

// The progress window: the bar and the path at hand, repainted at each step.
class ProgressWindow : public UninstallProgress {
  public:
    ProgressWindow(HINSTANCE instance, const std::string& caption) {
        dialog_ =
            CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_UNINSTALL), nullptr, dialogProc, 0);
        if (!dialog_) return;
        win32::Wide title(caption.c_str(), win32::Conversion::Lenient);
        SetWindowTextW(dialog_, title);
        setText(dialog_, IDC_UNINSTALL_STATUS, texts::kUninstallWorking);
        placeControls(dialog_);
        SendDlgItemMessageW(dialog_, IDC_UNINSTALL_PROGRESS, PBM_SETRANGE32, 0, kProgressRange);
        ShowWindow(dialog_, SW_SHOW);
        UpdateWindow(dialog_);
    }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;
    ~ProgressWindow() override {
        if (dialog_) DestroyWindow(dialog_);
    }

    void onStep(int step, int total, const char* text) override {
        if (!dialog_) return;
        setText(dialog_, IDC_UNINSTALL_PATH, text);
        setPosition(step, total);
        pumpMessages(dialog_);
    }

    void finish() {
        if (!dialog_) return;
        setText(dialog_, IDC_UNINSTALL_PATH, "");
        setPosition(1, 1);
        DWORD start = GetTickCount();
        while (GetTickCount() - start < kFinishedPause) {
            pumpMessages(dialog_);
            Sleep(20);
        }
    }

  private:
    void setPosition(int done, int total) {
        int position = total > 0 ? MulDiv(done, kProgressRange, total) : kProgressRange;
        SendDlgItemMessageW(dialog_, IDC_UNINSTALL_PROGRESS, PBM_SETPOS, position, 0);
    }

    HWND dialog_ = nullptr;
};

// An unattended uninstall shows no progress.
class NoProgress : public UninstallProgress {
  public:
    void onStep(int, int, const char*) override {}
};

// The command line in GBK; empty when it holds a character GBK lacks (no
// file log the setup wrote can have such a name).
std::string commandLineGbk() {
    const wchar_t* wide = GetCommandLineW();
    std::string text(static_cast<std::size_t>(lstrlenW(wide)) * 2 + 1, '\0');
    if (!win32::toGbk(wide, -1, &text[0], text.size())) return std::string();
    text.resize(lstrlenA(text.c_str()));
    return text;
}

}  // namespace

int runUninstaller(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    win32::Win32Platform platform;

    const std::string commandLine = commandLineGbk();
    const char* tail = commandTail(commandLine.c_str());
    // "/S": no question, window or message; the exit code tells the rest.
    // Before the log's path, or after it as deployment tools append it.
    bool silent = takeSilentSwitch(&tail);
    auto tell = [&](const char* text, const char* caption, uint32_t style) {
        if (!silent) platform.messageBox(nullptr, text, caption, style);
    };
    UninstallPaths paths;
    bool named = readUninstallArgument(tail, &paths);
    if (!named && !silent && readArgumentWithTrailingSwitch(tail, &paths)) named = silent = true;
    if (!named) {
        tell(texts::kUninstallUsage, texts::kUninstallCaption, kMbOk | kMbIconError);
        return 1;
    }
    const std::string caption = uninstallCaption(paths.productName);
    const uint32_t attributes = platform.fileAttributes(paths.fileLog);
    if (attributes == kInvalidAttributes || (attributes & kAttributeDirectory)) {
        tell(missingLogMessage(paths.fileLog).c_str(), caption.c_str(), kMbOk | kMbIconError);
        return 1;
    }
    if (!silent &&
        platform.messageBox(nullptr, uninstallQuestion(paths.productName).c_str(), caption.c_str(),
                            kMbYesNo | kMbIconQuestion | kMbDefButton2) != kIdYes)
        return 0;

    RemovalGuard guard;
    guardSystemFolders(platform, &guard);
    UninstallPlan plan;
    if (!planUninstall(platform, paths, guard, &plan)) {
        tell(missingLogMessage(paths.fileLog).c_str(), caption.c_str(), kMbOk | kMbIconError);
        return 1;
    }
    UninstallOutcome outcome;
    if (silent) {
        NoProgress none;
        outcome = runUninstall(platform, paths, plan, none);
    } else {
        ProgressWindow window(instance, caption);
        outcome = runUninstall(platform, paths, plan, window);
        window.finish();
    }
    const int code = uninstallExitCode(plan, outcome);
    tell(finalMessage(paths.productName, plan, outcome).c_str(), caption.c_str(),
         kMbOk | (code == 0 ? kMbIconInformation : MB_ICONWARNING));
    return code;
}

}  // namespace kestrova
