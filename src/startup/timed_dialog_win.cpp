#include "startup/timed_dialog_win.h"

namespace kestrova {

bool handleTimedDialogClose(HWND dialog, UINT message, WPARAM wParam, bool done) {
    if (message == WM_COMMAND) return LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL;
    if (message != WM_CLOSE) return false;
    if (done) EndDialog(dialog, IDOK);
    return true;
}

void finishTimedDialog(HWND dialog, bool* done) {
    KillTimer(dialog, kDialogTimerId);
    *done = true;
    EndDialog(dialog, IDOK);
}

}  // namespace kestrova
