#pragma once
// The wizard: the setup's main window for the rest of its life. It holds
// the five pages, shows one at a time, owns Back, Next and Cancel, paints
// the title band, asks before the user leaves, and closes itself when
// setupAborted is set: after Finish, a failure or the user's choice.
#include <windows.h>

#include "engine/temp_files.h"
#include "platform/win32/gdi.h"
#include "wizard/folder_page_win.h"
#include "wizard/progress_page_win.h"
#include "wizard/wizard_page_win.h"

namespace kestrova {

class WizardDialog : public Dialog {
  public:
    // tempFiles, lent by start-up, are removed when the wizard is destroyed.
    WizardDialog(HINSTANCE instance, Platform& platform, SetupState& state, TempFiles& tempFiles);

    // Runs the wizard until it closes. Its destruction has closed the
    // files and deleted the temporary files.
    void run();

  protected:
    BOOL onInit() override;
    bool onCommand(int id, int code) override;
    bool onTimer(UINT_PTR id) override;
    void onShowWindow(bool shown) override;
    bool onPaint() override;
    void onDestroy() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

  private:
    WizardPage& page(int number);
    void placeControls();
    void switchPage(bool forward);
    void checkInstallPath();
    void confirmExit();
    void setButtonCaption(int id, const char* caption);

    WizardContext context_;
    TempFiles& tempFiles_;
    HICON icon_;
    win32::Font bold_;
    win32::Font normal_;
    win32::WindowDc dc_;
    char pageTitle_[kBandTextSize] = {};
    char pageSubtitle_[kBandTextSize] = {};
    bool shownOnce_ = false;

    WelcomePage welcome_;
    LicencePage licence_;
    FolderPage folder_;
    ProgressPage progress_;
    FinishPage finish_;
};

}  // namespace kestrova
