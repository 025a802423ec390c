#pragma once
// The uninstaller's windows: the question, the progress window while it
// removes, and the closing message.
#include <windows.h>

namespace kestrova {

// Runs the whole uninstaller. Returns the process's exit code: 0 when the
// product was removed or the user said No, 1 when the command line or the
// file log was unusable (nothing was changed), 2 when something could not
// be removed or was kept because the logs were changed.
int runUninstaller(HINSTANCE instance);

}  // namespace kestrova
