#include "platform/win32/window_metrics.h"

#include "platform/win32/gdi.h"

namespace kestrova::win32 {
namespace {

// A display's density when the system cannot tell: the usual 100 %.
constexpr int kUsualDpi = 96;

// A context for measuring texts in window's font, released with it.
class MeasuringDc {
  public:
    explicit MeasuringDc(HWND window)
        : dc_(window),
          font_(dc_.get(), reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0))) {}
    HDC get() const { return dc_.get(); }

  private:
    WindowDc dc_;
    SelectedObject font_;
};

}  // namespace

int screenDpi() {
    HDC info = CreateICW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (!info) return kUsualDpi;
    int dpi = GetDeviceCaps(info, LOGPIXELSY);
    DeleteDC(info);
    return dpi;
}

int lineHeightOf(HWND window) {
    MeasuringDc dc(window);
    TEXTMETRICW metrics;
    if (!dc.get() || !GetTextMetricsW(dc.get(), &metrics)) return 0;
    return metrics.tmHeight + metrics.tmExternalLeading;
}

int textWidthOf(HWND window, const wchar_t* text) {
    MeasuringDc dc(window);
    RECT r{0, 0, 0, 0};
    if (!dc.get()) return 0;
    DrawTextW(dc.get(), text, -1, &r, DT_CALCRECT | DT_SINGLELINE);
    return r.right - r.left;
}

int ownTextWidth(HWND control) {
    wchar_t text[256];
    GetWindowTextW(control, text, sizeof text / sizeof *text);
    return textWidthOf(control, text);
}

int checkMarkSize() {
    return GetSystemMetrics(SM_CXMENUCHECK);
}

void sizeAndCentre(HWND window, int clientWidth, int clientHeight) {
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kestrova::win32
