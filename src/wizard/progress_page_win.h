#pragma once
// Page 4: showing it starts the installation on a worker thread; its timer
// moves the bar and, when the run has finished, moves the wizard on to the
// finish page.
#include "platform/win32/worker_thread.h"
#include "wizard/wizard_page_win.h"

namespace kestrova {

class ProgressPage : public WizardPage {
  public:
    explicit ProgressPage(WizardContext& context) : WizardPage(context, kProgressPage) {}

    // Waits until a started run has returned, handling messages meanwhile
    // (its message boxes and status texts need this thread).
    void waitForRun() { worker_.wait(); }

  protected:
    BOOL onInit() override;
    bool onTimer(UINT_PTR id) override;
    void onShowWindow(bool shown) override;

  private:
    void startInstall();
    void followProgress();
    static void runInstall(void* self);

    win32::WorkerThread worker_;
};

}  // namespace kestrova
