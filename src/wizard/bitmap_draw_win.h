#pragma once
// Drawing .bmp files unscaled into a window, and the display density that
// chooses the wizard's size set (size_set.h).
#include <windows.h>

#include "platform/platform.h"

namespace kestrova {

// Loads the picture at path and draws it with its top-left corner at (x, y)
// of dc, realising its palette first. True when the picture could be
// loaded: *width and *height (either may be null) are then its size. False
// when it could not: nothing is drawn and the sizes are left as they were.
bool drawBitmapFile(Platform& platform, const char* path, HDC dc, int x, int y, int* width,
                    int* height);

// The vertical logical pixels per inch of the display; 96 when the system
// cannot make an information context for it.
int screenDpi();

}  // namespace kestrova
