#include "wizard/wizard_page_win.h"

#include <cstring>

#include "engine/path_macros.h"
#include "platform/win32/wide.h"
#include "resources/resource_ids.h"
#include "resources/texts.h"
#include "state/bounded_text.h"
#include "wizard/bitmap_draw_win.h"
#include "wizard/run_section.h"
#include "wizard/size_set.h"

namespace kestrova {

using win32::Conversion;
using win32::Wide;

void drawGbkText(HDC dc, HFONT font, COLORREF colour, int x, int y, const char* text) {
    win32::SelectedObject selected(dc, font);
    Wide wide(text, Conversion::Lenient);
    SetTextColor(dc, colour);
    // Transparent: text cells filled white over a picture look broken.
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, x, y, wide, wide.length());
}

void WizardPage::show() {
    state().currentPage = number_;
    ShowWindow(window(), SW_SHOW);
}

void WizardPage::close() {
    destroying_ = true;
    if (window()) SendMessageW(window(), WM_CLOSE, 0, 0);
}

bool WizardPage::onCommand(int id, int /*code*/) {
    return id == IDOK || id == IDCANCEL;
}

bool WizardPage::onClose() {
    if (destroying_)
        DestroyWindow(window());
    else
        hide();
    return true;
}

void WizardPage::enableWizardButton(int id, bool enabled) {
    EnableWindow(GetDlgItem(GetParent(window()), id), enabled);
}

// ---- Welcome -------------------------------------------------------------

constexpr COLORREF kLightColour = RGB(250, 250, 250);
constexpr COLORREF kHeadingColour = RGB(0, 0, 128);

BOOL WelcomePage::onInit() {
    bold_.reset(win32::makeFontLike(window(), FW_BOLD));
    normal_.reset(win32::makeFontLike(window(), FW_NORMAL));
    dc_.take(window());
    lightPen_.reset(CreatePen(PS_SOLID, 1, kLightColour));
    lightBrush_.reset(CreateSolidBrush(kLightColour));
    // A product name too long for the sentence leaves the heading empty.
    joinText(heading_, sizeof heading_, texts::kWelcomeHeadingBefore, state().productName,
             texts::kWelcomeHeadingAfter);
    return TRUE;
}

bool WelcomePage::onPaint() {
    win32::PaintDc paint(window());
    HDC dc = dc_.get();
    RECT client;
    GetClientRect(window(), &client);
    {
        win32::SelectedObject pen(dc, lightPen_.get());
        win32::SelectedObject brush(dc, lightBrush_.get());
        Rectangle(dc, 164, client.top, client.right, sizeSetFor(context_.dpi).pageHeight);
    }
    drawBitmapFile(context_.platform, state().welcomePicturePath, dc, 0, 0, nullptr, nullptr);
    drawGbkText(dc, bold_.get(), kHeadingColour, 180, 16, heading_);
    drawGbkText(dc, normal_.get(), RGB(0, 0, 0), 175, 40, texts::kWelcomeLine1);
    drawGbkText(dc, normal_.get(), RGB(0, 0, 0), 175, 58, texts::kWelcomeLine2);
    return true;
}

// The window's context is released while the window still exists: the
// page object outlives its window.
void WelcomePage::onDestroy() {
    dc_.release();
}

// ---- Licence -------------------------------------------------------------

BOOL LicencePage::onInit() {
    state().licenceAccepted = false;
    // The document fills the page above the two choices, with a margin.
    // The page gets its size only after all pages exist: its width is the
    // size set's.
    RECT accept;
    GetWindowRect(item(IDC_ACCEPT), &accept);
    MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&accept), 2);
    const int width = sizeSetFor(context_.dpi).pageWidth, margin = width / 64;
    RECT area{margin, margin, width - margin, accept.top - margin};
    view_.show(window(), IDC_LICENCE_VIEW, area, state().licencePath);
    return TRUE;
}

void LicencePage::onDestroy() {
    view_.close();
}

bool LicencePage::onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    // The licence as text reads on the window colour, not the grey of a
    // read-only control.
    if (message != WM_CTLCOLORSTATIC || reinterpret_cast<HWND>(lParam) != view_.window())
        return false;
    SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
    *result = reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    return true;
}

void LicencePage::show() {
    CheckRadioButton(window(), IDC_ACCEPT, IDC_DECLINE,
                     state().licenceAccepted ? IDC_ACCEPT : IDC_DECLINE);
    WizardPage::show();
}

bool LicencePage::onCommand(int id, int code) {
    if ((id == IDC_ACCEPT || id == IDC_DECLINE) && code == BN_CLICKED) {
        state().licenceAccepted = id == IDC_ACCEPT;
        enableWizardButton(IDC_NEXT, state().licenceAccepted);
        return true;
    }
    return WizardPage::onCommand(id, code);
}

// ---- Finish --------------------------------------------------------------

void FinishPage::createRunCheckBox(HFONT font) {
    char caption[kRunLineSize];
    if (!readRunSection(context_.platform, state(), caption)) return;
    RECT client;
    GetClientRect(window(), &client);
    BoxPlace place = runCheckBoxPlace(context_.dpi, std::strlen(caption),
                                      client.right - client.left, client.bottom - client.top);
    Wide text(caption, Conversion::Lenient);
    runCheckBox_ =
        CreateWindowExW(0, L"BUTTON", text, WS_CHILD | BS_AUTOCHECKBOX | BS_BOTTOM, place.left,
                        place.top, place.width, place.height, window(),
                        reinterpret_cast<HMENU>(IDC_RUN_CHECK), context_.instance, nullptr);
    if (!runCheckBox_) return;
    SendMessageW(runCheckBox_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ShowWindow(runCheckBox_, SW_SHOW);
    SendMessageW(runCheckBox_, BM_SETCHECK, BST_CHECKED, 0);
}

void FinishPage::runChosenProgram() {
    if (!runCheckBox_ || SendMessageW(runCheckBox_, BM_GETCHECK, 0, 0) != BST_CHECKED) return;
    Platform& platform = context_.platform;
    char* command = state().runCommand;
    expandPathMacros(platform, context_.user, state(), command, sizeof state().runCommand);
    char folder[kTextSize];
    if (parentFolder(command, folder, sizeof folder)) platform.changeFolder(folder);
    // A program that cannot be started is not reported.
    platform.startProgram(command, kSwShow);
}

}  // namespace kestrova
