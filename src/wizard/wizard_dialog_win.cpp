#include "wizard/wizard_dialog_win.h"

#include "engine/path_macros.h"
#include "engine/uninstall_log.h"
#include "layout/window_layout.h"
#include "platform/win32/wide.h"
#include "platform/win32/window_metrics.h"
#include "resources/resource_ids.h"
#include "resources/texts.h"
#include "state/bounded_text.h"
#include "wizard/bitmap_draw_win.h"

namespace kestrova {

using win32::Conversion;
using win32::Wide;

constexpr UINT kWizardTickMs = 300;
constexpr int kPageTemplates[kPageCount] = {IDD_WELCOME, IDD_LICENCE, IDD_FOLDER, IDD_PROGRESS,
                                            IDD_FINISH};

WizardDialog::WizardDialog(HINSTANCE instance, Platform& platform, SetupState& state,
                           TempFiles& tempFiles)
    : context_{instance, platform, state, kNormalSizes, MessageBoxPort(platform, nullptr)},
      tempFiles_(tempFiles),
      icon_(LoadIconW(instance, MAKEINTRESOURCEW(IDI_SETUP))),
      welcome_(context_),
      licence_(context_),
      folder_(context_),
      progress_(context_),
      finish_(context_) {}

void WizardDialog::run() {
    // A wizard that could not be made never reached its destruction.
    if (runModal(context_.instance, IDD_WIZARD, nullptr) == -1) tempFiles_.remove();
}

WizardPage& WizardDialog::page(int number) {
    switch (number) {
        case kWelcomePage:
            return welcome_;
        case kLicencePage:
            return licence_;
        case kFolderPage:
            return folder_;
        case kProgressPage:
            return progress_;
        default:
            return finish_;
    }
}

BOOL WizardDialog::onInit() {
    SetupState& state = context_.state;
    bold_.reset(win32::makeFontLike(window(), FW_BOLD));
    normal_.reset(win32::makeFontLike(window(), FW_NORMAL));
    dc_.take(window());
    char title[kBandTextSize];
    if (joinText(title, sizeof title, state.productName, texts::kWizardTitleAfter))
        SetWindowTextW(window(), Wide(title, Conversion::Lenient));
    state.lastPage = kFinishPage;
    // Asked before the pages are made: each places its controls by it.
    context_.sizes = sizeSetFor(win32::screenDpi());
    for (int number = 1; number <= kPageCount; ++number) {
        // Without all its pages the wizard cannot lead anywhere: it closes.
        if (!page(number).create(context_.instance, kPageTemplates[number - 1], window()))
            state.setupAborted = true;
    }
    placeControls();
    SendMessageW(window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    finish_.createRunCheckBox(reinterpret_cast<HFONT>(SendMessageW(window(), WM_GETFONT, 0, 0)));
    SetTimer(window(), kDialogTimerId, kWizardTickMs, nullptr);
    return TRUE;
}

// Places the pages in the page area at the top left and the buttons in a
// row below it, in pixels of the size set, the buttons wide enough for the
// widest caption they show, and fits the window to them.
void WizardDialog::placeControls() {
    // Back and Cancel keep their templates' captions; Next also reads Finish.
    const int widths[] = {win32::ownTextWidth(item(IDC_BACK)), win32::ownTextWidth(item(IDCANCEL)),
                          win32::textWidthOf(window(), Wide(texts::kCaptionNext)),
                          win32::textWidthOf(window(), Wide(texts::kCaptionFinish))};
    int widestCaption = 0;
    for (int width : widths) widestCaption = width > widestCaption ? width : widestCaption;
    const FontMeasure font{win32::lineHeightOf(window()), win32::checkMarkSize()};
    const FrameLayout layout = frameLayout(context_.sizes, font, widestCaption);
    auto place = [](HWND control, const Box& box) {
        MoveWindow(control, box.left, box.top, box.width, box.height, TRUE);
    };
    for (int number = 1; number <= kPageCount; ++number)
        place(page(number).window(), number == kWelcomePage ? layout.welcomePage : layout.bodyPage);
    place(item(IDC_BAND_LINE), layout.bandLine);
    place(item(IDC_BUTTON_LINE), layout.buttonLine);
    place(item(IDC_BACK), layout.back);
    place(item(IDC_NEXT), layout.next);
    place(item(IDCANCEL), layout.cancel);
    win32::sizeAndCentre(window(), layout.clientWidth, layout.clientHeight);
}

void WizardDialog::onShowWindow(bool shown) {
    if (!shown || shownOnce_) return;
    shownOnce_ = true;
    welcome_.show();
    ShowWindow(item(IDC_BAND_LINE), SW_HIDE);
    EnableWindow(item(IDC_BACK), FALSE);
}

bool WizardDialog::onCommand(int id, int /*code*/) {
    switch (id) {
        case IDC_BACK:
            switchPage(false);
            return true;
        case IDC_NEXT:
            if (context_.state.currentPage == kFolderPage)
                checkInstallPath();
            else
                switchPage(true);
            return true;
        case IDCANCEL:
            confirmExit();
            return true;
        case IDOK:  // Enter does nothing of its own
            return true;
    }
    return false;
}

bool WizardDialog::onTimer(UINT_PTR id) {
    if (id != kDialogTimerId || !context_.state.setupAborted.load()) return true;
    KillTimer(window(), kDialogTimerId);
    // A run that is still ending (after its own quit question) finishes
    // before anything it uses is closed.
    progress_.waitForRun();
    EndDialog(window(), IDOK);
    return true;
}

void WizardDialog::setButtonCaption(int id, const char* caption) {
    SetWindowTextW(item(id), Wide(caption, Conversion::Lenient));
}

void WizardDialog::switchPage(bool forward) {
    SetupState& state = context_.state;
    const int current = state.currentPage;
    if (forward && current == state.lastPage) {
        finish_.runChosenProgram();
        state.setupAborted = true;  // the window closes on the next tick
        return;
    }
    if (current >= kWelcomePage && current < kFinishPage) page(current).hide();
    const int next = pageAfter(current, forward, optionIsOn(state.licenceOption));
    state.currentPage = next;
    const WizardButtons buttons = buttonsFor(next, state.lastPage, state.licenceAccepted);
    ShowWindow(item(IDC_BAND_LINE), buttons.bandShown ? SW_SHOW : SW_HIDE);
    EnableWindow(item(IDC_BACK), buttons.backEnabled);
    EnableWindow(item(IDC_NEXT), buttons.nextEnabled);
    EnableWindow(item(IDCANCEL), buttons.cancelEnabled);
    setButtonCaption(IDC_NEXT, buttons.finishCaption ? texts::kCaptionFinish : texts::kCaptionNext);
    bandTextsFor(next, state.productName, pageTitle_, pageSubtitle_, sizeof pageTitle_);
    const Box place = context_.sizes.titlePicture();
    RECT band{place.left, place.top, place.right(), place.bottom()};
    InvalidateRect(window(), &band, TRUE);
    page(next).show();
}

void WizardDialog::checkInstallPath() {
    Platform& platform = context_.platform;
    char typed[kSystemPathSize];
    char path[kSystemPathSize];
    PathCheck check = folder_.typedPath(typed, sizeof typed)
                          ? checkInstallPathText(typed, path, sizeof path)
                          : PathCheck::Wrong;
    if (check == PathCheck::Accepted) {
        createFolderPath(platform, path);
        if (!platform.changeFolder(path)) check = PathCheck::Wrong;
    }
    if (check != PathCheck::Accepted) {
        platform.messageBox(window(),
                            check == PathCheck::TooShort ? texts::kPathTooShort : texts::kPathWrong,
                            texts::kCaptionError, kMbOk);
        return;
    }
    copyText(context_.state.installDir, sizeof context_.state.installDir, path);
    switchPage(true);
}

void WizardDialog::confirmExit() {
    SetupState& state = context_.state;
    if (state.currentPage == kProgressPage) {
        // The run asks the question itself between two files.
        state.cancelRequested = true;
        return;
    }
    if (context_.platform.messageBox(window(), texts::kQuitQuestion, texts::kCaptionQuit,
                                     kMbYesNo | kMbIconQuestion | kMbDefButton2) == kIdYes)
        state.setupAborted = true;
}

bool WizardDialog::onPaint() {
    win32::PaintDc paint(window());
    if (IsIconic(window())) {
        RECT client;
        GetClientRect(window(), &client);
        const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
        SendMessageW(window(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.get()), 0);
        DrawIcon(paint.get(), x, y, icon_);
        return true;
    }
    // The whole band is drawn in the window's own context, whatever part
    // needs painting; the pages are clipped out (WS_CLIPCHILDREN).
    const SetupState& state = context_.state;
    const SizeSet& sizes = context_.sizes;
    HDC dc = dc_.get();
    if (state.currentPage != kWelcomePage)
        drawPicture(context_.platform, state.titlePicturePath, dc, sizes, sizes.titlePicture());
    HFONT titleFont = state.currentPage == state.lastPage ? normal_.get() : bold_.get();
    drawGbkText(dc, titleFont, RGB(0, 0, 0), sizes.title, pageTitle_);
    drawGbkText(dc, normal_.get(), RGB(0, 0, 0), sizes.subtitle, pageSubtitle_);
    return true;
}

bool WizardDialog::onMessage(UINT message, WPARAM, LPARAM, INT_PTR* result) {
    if (message != WM_QUERYDRAGICON) return false;
    *result = reinterpret_cast<INT_PTR>(icon_);
    return true;
}

void WizardDialog::onDestroy() {
    SetupState& state = context_.state;
    // Nothing is closed or deleted under a running worker.
    progress_.waitForRun();
    closeUninstallLogs(state);
    tempFiles_.remove();
    for (int number = 1; number <= kPageCount; ++number) page(number).close();
    dc_.release();
}

}  // namespace kestrova
