#include "wizard/wizard_page_win.h"

#include <cstring>

#include "engine/path_macros.h"
#include "layout/window_layout.h"
#include "platform/win32/wide.h"
#include "platform/win32/window_metrics.h"
#include "resources/resource_ids.h"
#include "resources/texts.h"
#include "state/bounded_text.h"
#include "wizard/bitmap_draw_win.h"
#include "wizard/run_section.h"

namespace kestrova {

using win32::Conversion;
using win32::Wide;

void drawGbkText(HDC dc, HFONT font, COLORREF colour, TextPlace place, const char* text) {
    win32::SelectedObject selected(dc, font);
    Wide wide(text, Conversion::Lenient);
    SetTextColor(dc, colour);
    // Transparent: text cells filled white over a picture look broken.
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, place.x, place.y, wide, wide.length());
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

void WizardPage::placeControl(int id, const Box& place) {
    MoveWindow(item(id), place.left, place.top, place.width, place.height, TRUE);
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
    const SizeSet& sizes = context_.sizes;
    RECT client;
    GetClientRect(window(), &client);
    {
        win32::SelectedObject pen(dc, lightPen_.get());
        win32::SelectedObject brush(dc, lightBrush_.get());
        Rectangle(dc, sizes.welcomeWidth, client.top, client.right, sizes.pageHeight);
    }
    drawPicture(context_.platform, state().welcomePicturePath, dc, sizes, sizes.welcomePicture());
    drawGbkText(dc, bold_.get(), kHeadingColour, sizes.heading, heading_);
    drawGbkText(dc, normal_.get(), RGB(0, 0, 0), sizes.welcomeLine1, texts::kWelcomeLine1);
    drawGbkText(dc, normal_.get(), RGB(0, 0, 0), sizes.welcomeLine2, texts::kWelcomeLine2);
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
    // The page gets its size only after all pages exist; the size set says
    // what it will be. The document fills it above the two choices.
    const FontMeasure font{win32::lineHeightOf(window()), win32::checkMarkSize()};
    const LicenceLayout layout = licenceLayout(context_.sizes, font);
    placeControl(IDC_ACCEPT, layout.accept);
    placeControl(IDC_DECLINE, layout.decline);
    const Box& v = layout.view;
    view_.show(window(), IDC_LICENCE_VIEW, RECT{v.left, v.top, v.right(), v.bottom()},
               state().licencePath);
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
    Wide text(caption, Conversion::Lenient);
    // Measured in the font the box is given: the wizard's.
    const FontMeasure measure{win32::lineHeightOf(GetParent(window())), win32::checkMarkSize()};
    const Box place = runCheckBoxPlace(context_.sizes, static_cast<int>(std::strlen(caption)),
                                       win32::textWidthOf(GetParent(window()), text), measure,
                                       client.right - client.left, client.bottom - client.top);
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
