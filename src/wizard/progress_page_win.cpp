#include "wizard/progress_page_win.h"

#include <commctrl.h>

#include "engine/install_run.h"
#include "engine/path_macros.h"
#include "engine/uninstall_log.h"
#include "layout/window_layout.h"
#include "platform/win32/wide.h"
#include "platform/win32/window_metrics.h"
#include "resources/resource_ids.h"
#include "wizard/status_line_win.h"

namespace kestrova {

constexpr UINT kProgressTickMs = 100;

void ProgressPort::status(const char* text) {
    win32::setStatusText(static_cast<HWND>(owner_), IDC_STATUS_LINE,
                         win32::Wide(text, win32::Conversion::Lenient));
}

BOOL ProgressPage::onInit() {
    const ProgressLayout layout = progressLayout(
        context_.sizes, FontMeasure{win32::lineHeightOf(window()), win32::checkMarkSize()});
    placeControl(IDC_STATUS_LINE, layout.status);
    placeControl(IDC_PROGRESS_BAR, layout.bar);
    port_.setOwner(window());
    SetTimer(window(), kDialogTimerId, kProgressTickMs, nullptr);
    return TRUE;
}

bool ProgressPage::onTimer(UINT_PTR id) {
    if (id != kDialogTimerId) return false;
    followProgress();
    return true;
}

void ProgressPage::onShowWindow(bool shown) {
    // Only being shown as the current page starts the run: the page is
    // also told when it is hidden for the finish page, or when the wizard
    // closes.
    if (shown && state().currentPage == kProgressPage && !state().installStarted.load())
        startInstall();
}

bool ProgressPage::onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    // A status text posted by the worker is set here, on the page's thread.
    if (win32::applyPostedStatusText(window(), message)) {
        *result = TRUE;
        return true;
    }
    return WizardPage::onMessage(message, wParam, lParam, result);
}

void ProgressPage::waitForRun() {
    worker_.wait();
    win32::showWaitingStatusText();
}

void ProgressPage::runInstall(void* self) {
    auto* page = static_cast<ProgressPage*>(self);
    installRun(page->context_.platform, page->port_, page->state());
}

void ProgressPage::startInstall() {
    enableWizardButton(IDC_BACK, false);
    enableWizardButton(IDC_NEXT, false);
    SetupState& s = state();
    createFolderPath(context_.platform, s.installDir);
    // A log that cannot be opened has shown its message and set
    // setupAborted: the wizard closes on its next tick.
    if (!openUninstallLogs(context_.platform, port_, s)) return;
    if (worker_.start(runInstall, this)) return;
    // No thread for the run (the system is out of threads or memory). The
    // run, which closes the logs on its every way out, never starts: they
    // are closed here, and the setup ends as when they cannot be made, with
    // the same message.
    closeUninstallLogs(s);
    port_.logCreateError();
    s.setupAborted = true;
}

void ProgressPage::followProgress() {
    SetupState& s = state();
    const int32_t done = s.filesDone.load();
    const int32_t finished = s.fileCount + 1;
    if (done != s.lastShownFileCount) {
        s.lastShownFileCount = done;
        SendDlgItemMessageW(window(), IDC_PROGRESS_BAR, PBM_SETPOS,
                            progressPosition(done, s.fileCount), 0);
        if (done == finished) {
            KillTimer(window(), kDialogTimerId);
            SendMessageW(GetParent(window()), WM_COMMAND, IDC_NEXT, 0);
            return;
        }
    }
    // A run that returned without its final count and without setting
    // setupAborted (the setup program or the script could not be opened)
    // has shown its message; the wizard closes instead of leaving the user
    // with every button disabled.
    if (s.installStarted.load() && !worker_.running() && s.filesDone.load() != finished)
        s.setupAborted = true;
    if (s.setupAborted.load()) KillTimer(window(), kDialogTimerId);
}

}  // namespace kestrova
