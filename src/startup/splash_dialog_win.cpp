#include "startup/splash_dialog_win.h"

#include "layout/size_set.h"
#include "platform/win32/gdi.h"
#include "platform/win32/window_metrics.h"
#include "resources/resource_ids.h"
#include "startup/timed_dialog_win.h"
#include "wizard/bitmap_draw_win.h"

namespace kestrova {
namespace {

constexpr UINT kSplashMs = 5000;

class SplashDialog : public TimedDialog {
  public:
    SplashDialog(Platform& platform, const SetupState& state)
        : platform_(platform), state_(state), sizes_(sizeSetFor(win32::screenDpi())) {}

  protected:
    BOOL onInit() override {
        // Drawing the picture once tells its size; the window takes it.
        int width = 0, height = 0;
        bool drawn;
        {
            win32::WindowDc dc(window());
            drawn =
                drawBitmapFile(platform_, state_.softPicturePath, dc.get(), 0, 0, &width, &height);
        }
        if (!drawn) {
            finish();
            return TRUE;
        }
        // Its own size up to 120 dots per inch; above that as much larger
        // as the wizard is.
        place_ = splashPlace(sizes_, width, height, GetSystemMetrics(SM_CXSCREEN),
                             GetSystemMetrics(SM_CYSCREEN));
        MoveWindow(window(), place_.left, place_.top, place_.width, place_.height, TRUE);
        InvalidateRect(window(), nullptr, TRUE);
        SetTimer(window(), kDialogTimerId, kSplashMs, nullptr);
        return TRUE;
    }
    bool onPaint() override {
        win32::PaintDc paint(window());
        drawPicture(platform_, state_.softPicturePath, paint.get(), sizes_,
                    Box{0, 0, place_.width, place_.height});
        return true;
    }
    bool onTimer(UINT_PTR id) override {
        if (id != kDialogTimerId) return false;
        finish();
        return true;
    }

  private:
    Platform& platform_;
    const SetupState& state_;
    const SizeSet sizes_;
    Box place_{0, 0, 0, 0};  // on the screen
};

}  // namespace

void runSplash(HINSTANCE instance, Platform& platform, const SetupState& state) {
    SplashDialog splash(platform, state);
    splash.runModal(instance, IDD_SPLASH, nullptr);
}

}  // namespace kestrova
