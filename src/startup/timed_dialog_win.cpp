#include "startup/timed_dialog_win.h"

namespace kestrova {

bool TimedDialog::onCommand(int id, int /*code*/) {
    return id == IDOK || id == IDCANCEL;
}

bool TimedDialog::onClose() {
    if (done_) EndDialog(window(), IDOK);
    return true;
}

void TimedDialog::finish() {
    KillTimer(window(), kDialogTimerId);
    done_ = true;
    EndDialog(window(), IDOK);
}

}  // namespace kestrova
