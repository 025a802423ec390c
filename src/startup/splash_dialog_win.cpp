#include "startup/splash_dialog_win.h"

#include "platform/win32/gdi.h"
#include "resources/resource_ids.h"
#include "startup/timed_dialog_win.h"
#include "wizard/bitmap_draw_win.h"

namespace kestrova {
namespace {

constexpr UINT kSplashMs = 5000;

// Window placement of a picture of width x height centred on a screen of
// screenWidth x screenHeight (divisions rounded toward zero).
RECT centredRect(int screenWidth, int screenHeight, int width, int height) {
    RECT r;
    r.left = (screenWidth - width) / 2;
    r.top = (screenHeight - height) / 2;
    r.right = r.left + width;
    r.bottom = r.top + height;
    return r;
}

class SplashDialog : public TimedDialog {
  public:
    SplashDialog(Platform& platform, const SetupState& state)
        : platform_(platform), state_(state) {}

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
        RECT place = centredRect(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                 width, height);
        MoveWindow(window(), place.left, place.top, width, height, TRUE);
        InvalidateRect(window(), nullptr, TRUE);
        SetTimer(window(), kDialogTimerId, kSplashMs, nullptr);
        return TRUE;
    }
    bool onPaint() override {
        win32::PaintDc paint(window());
        drawBitmapFile(platform_, state_.softPicturePath, paint.get(), 0, 0, nullptr, nullptr);
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
};

}  // namespace

void runSplash(HINSTANCE instance, Platform& platform, const SetupState& state) {
    SplashDialog splash(platform, state);
    splash.runModal(instance, IDD_SPLASH, nullptr);
}

}  // namespace kestrova
