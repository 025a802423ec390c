#pragma once
// The setup program's start-up sequence on the user-interface thread:
// sockets, the extraction dialog, the optional splash, then the wizard.
#include <windows.h>

namespace kestrova {

// Runs the whole setup and returns the process's exit code.
int runSetup(HINSTANCE instance);

}  // namespace kestrova
