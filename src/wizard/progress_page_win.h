#pragma once
// Page 4: showing it starts the installation on a worker thread; its timer
// moves the bar and, when the run has finished, moves the wizard on to the
// finish page.
#include "platform/win32/worker_thread.h"
#include "wizard/message_box_port.h"
#include "wizard/wizard_page_win.h"

namespace kestrova {

// The install run's user port in the wizard: the setup's message boxes,
// those of the page owned by page, and the page's status line (control
// 65530), which the worker's texts reach through the status line's slot.
class ProgressPort : public MessageBoxPort {
  public:
    explicit ProgressPort(Platform& platform) : MessageBoxPort(platform, nullptr) {}
    void status(const char* text) override;
};

class ProgressPage : public WizardPage {
  public:
    explicit ProgressPage(WizardContext& context)
        : WizardPage(context, kProgressPage), port_(context.platform) {}

    // Waits until a started run has returned, handling messages meanwhile
    // (its message boxes and status texts need this thread); its last
    // status text is on the line afterwards.
    void waitForRun();

  protected:
    BOOL onInit() override;
    bool onTimer(UINT_PTR id) override;
    void onShowWindow(bool shown) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

  private:
    void startInstall();
    void followProgress();
    static void runInstall(void* self);

    ProgressPort port_;
    win32::WorkerThread worker_;
};

}  // namespace kestrova
