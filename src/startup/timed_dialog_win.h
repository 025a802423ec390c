#pragma once
// Dialogs that close only through their own timer (the extraction dialog,
// the splash): Enter and Esc do nothing, and the close box is ignored until
// the dialog's work is done. All their timers have the identifier 1.
#include <windows.h>

namespace kestrova {

constexpr UINT_PTR kDialogTimerId = 1;

// Handles OK, Cancel and the close box for such a dialog: true when the
// message was one of them (the dialog proc returns TRUE then). The close
// box ends the dialog only when done is set.
bool handleTimedDialogClose(HWND dialog, UINT message, WPARAM wParam, bool done);

// Stops timer 1, marks the work done and ends the dialog with IDOK.
void finishTimedDialog(HWND dialog, bool* done);

}  // namespace kestrova
