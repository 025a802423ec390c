// The setup program's entry.
#include <windows.h>

#include "startup/startup_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return kestrova::runSetup(instance);
}
