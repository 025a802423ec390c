// The setup program's entry. Start-up itself is built on top of this; for
// now it links the package reader so the size budget is measured on it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
