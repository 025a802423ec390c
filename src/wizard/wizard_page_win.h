#pragma once
// What every page of the wizard shares, and the small pages: welcome,
// licence and finish. A page is a child dialog of the wizard, created
// hidden; showing it makes it the current page. Its close request only
// hides it until the wizard destroys it, and Enter and Esc inside it do
// nothing of their own.
#include <windows.h>

#include "layout/size_set.h"
#include "platform/platform.h"
#include "platform/win32/dialog.h"
#include "platform/win32/gdi.h"
#include "state/setup_state.h"
#include "wizard/licence_view_win.h"
#include "wizard/message_box_port.h"
#include "wizard/wizard_flow.h"

namespace kestrova {

// What the wizard hands to each page.
struct WizardContext {
    HINSTANCE instance;
    Platform& platform;
    SetupState& state;
    SizeSet sizes;        // for screenDpi, asked once
    MessageBoxPort user;  // how the engine's calls on the wizard's thread reach the user
};

class WizardPage : public Dialog {
  public:
    WizardPage(WizardContext& context, int number) : context_(context), number_(number) {}

    // Sets currentPage to this page and shows it.
    virtual void show();
    void hide() { ShowWindow(window(), SW_HIDE); }
    // Marks the page as being destroyed and closes it, which destroys its
    // window.
    void close();

  protected:
    bool onCommand(int id, int code) override;
    bool onClose() override;
    // Enables or disables a button of the wizard (the page's parent).
    void enableWizardButton(int id, bool enabled);
    // Moves the page's control id to place (pixels of the page).
    void placeControl(int id, const Box& place);

    WizardContext& context_;
    SetupState& state() { return context_.state; }

  private:
    int number_;
    bool destroying_ = false;
};

// Page 1: the welcome picture on a light panel, and three lines of text.
class WelcomePage : public WizardPage {
  public:
    explicit WelcomePage(WizardContext& context) : WizardPage(context, kWelcomePage) {}

  protected:
    BOOL onInit() override;
    bool onPaint() override;
    void onDestroy() override;

  private:
    win32::Font bold_;
    win32::Font normal_;
    win32::WindowDc dc_;
    win32::Pen lightPen_;
    win32::Brush lightBrush_;
    char heading_[kBandTextSize] = {};
};

// Page 2: the licence, accepted (1001) or declined (1003). The choice lives
// in licenceAccepted, so it survives leaving the page.
class LicencePage : public WizardPage {
  public:
    explicit LicencePage(WizardContext& context) : WizardPage(context, kLicencePage) {}
    void show() override;

  protected:
    BOOL onInit() override;
    bool onCommand(int id, int code) override;
    void onDestroy() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

  private:
    win32::LicenceView view_;
};

// Page 5: the success texts and the run check box.
class FinishPage : public WizardPage {
  public:
    explicit FinishPage(WizardContext& context) : WizardPage(context, kFinishPage) {}

    // Makes the run check box from the script's [Run] section (caption
    // and runCommand), checked, in font. Nothing when the script cannot be
    // read or its lines are missing or empty.
    void createRunCheckBox(HFONT font);
    // Starts runCommand when the box exists and is ticked.
    void runChosenProgram();

  private:
    HWND runCheckBox_ = nullptr;  // a child window: destroyed with the page
};

// Draws a GBK text with its top left at place in dc, in font and colour,
// over what is there.
void drawGbkText(HDC dc, HFONT font, COLORREF colour, TextPlace place, const char* text);

}  // namespace kestrova
