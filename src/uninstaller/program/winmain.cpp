// The uninstaller's entry.
#include <windows.h>

#include "uninstall_window_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return kestrova::runUninstaller(instance);
}
