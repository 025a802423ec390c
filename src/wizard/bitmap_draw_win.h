#pragma once
// Drawing .bmp files into a window: unscaled, as the two given size sets
// draw them, or stretched smoothly into their scaled places above 120 dots
// per inch (size_set.h).
#include <windows.h>

#include "layout/size_set.h"
#include "platform/platform.h"

namespace kestrova {

// Loads the picture at path and draws it with its top-left corner at (x, y)
// of dc, realising its palette first. True when the picture could be
// loaded: *width and *height (either may be null) are then its size. False
// when it could not: nothing is drawn and the sizes are left as they were.
bool drawBitmapFile(Platform& platform, const char* path, HDC dc, int x, int y, int* width,
                    int* height);

// Draws the picture at path into its place in dc: where sizes stretch
// pictures, over the whole place (halftone stretching, so a photograph
// stays smooth); otherwise unscaled at the place's top left, however much
// of the place it covers. False, nothing drawn, when it cannot be loaded.
bool drawPicture(Platform& platform, const char* path, HDC dc, const SizeSet& sizes,
                 const Box& place);

}  // namespace kestrova
