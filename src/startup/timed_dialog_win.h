#pragma once
// Dialogs that close only through their own timer (the extraction dialog,
// the splash): Enter and Esc do nothing, and the close box is ignored until
// the dialog's work is done.
#include "platform/win32/dialog.h"

namespace kestrova {

class TimedDialog : public Dialog {
  protected:
    bool onCommand(int id, int code) override;
    bool onClose() override;
    // Stops timer 1, marks the work done and ends the dialog with IDOK.
    void finish();

  private:
    bool done_ = false;
};

}  // namespace kestrova
