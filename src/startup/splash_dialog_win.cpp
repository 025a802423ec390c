#include "startup/splash_dialog_win.h"

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

struct SplashContext {
    Platform* platform;
    const SetupState* state;
    bool done;
};

INT_PTR CALLBACK splashProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* context = reinterpret_cast<SplashContext*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            context = reinterpret_cast<SplashContext*>(lParam);
            // Drawing the picture once tells its size; the window takes it.
            int width = 0, height = 0;
            HDC dc = GetDC(dialog);
            bool drawn = drawBitmapFile(*context->platform, context->state->softPicturePath, dc, 0,
                                        0, &width, &height);
            ReleaseDC(dialog, dc);
            if (!drawn) {
                context->done = true;
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            RECT place = centredRect(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                     width, height);
            MoveWindow(dialog, place.left, place.top, width, height, TRUE);
            InvalidateRect(dialog, nullptr, TRUE);
            SetTimer(dialog, kDialogTimerId, kSplashMs, nullptr);
            return TRUE;
        }
        case WM_PAINT: {
            if (!context) return FALSE;
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(dialog, &paint);
            int width, height;
            drawBitmapFile(*context->platform, context->state->softPicturePath, dc, 0, 0, &width,
                           &height);
            EndPaint(dialog, &paint);
            return TRUE;
        }
        case WM_TIMER:
            if (wParam != kDialogTimerId || !context) return FALSE;
            finishTimedDialog(dialog, &context->done);
            return TRUE;
    }
    return handleTimedDialogClose(dialog, message, wParam, context && context->done);
}

}  // namespace

void runSplash(HINSTANCE instance, Platform& platform, const SetupState& state) {
    SplashContext context{&platform, &state, false};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SPLASH), nullptr, splashProc,
                    reinterpret_cast<LPARAM>(&context));
}

}  // namespace kestrova
