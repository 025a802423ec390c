#pragma once
// What windows need to know to place their controls at any display
// density: the density itself, how tall and wide texts are in a window's
// font, and a window sized around its client area in the screen's middle.
#include <windows.h>

namespace kestrova::win32 {

// The vertical logical pixels per inch of the display; 96 when the system
// cannot make an information context for it.
int screenDpi();

// The height of one line of text in window's font (the system font when it
// has none); 0 when no context can be had.
int lineHeightOf(HWND window);

// The width of text on one line in window's font, '&' prefixes taken out
// as a button or label shows them; 0 when no context can be had.
int textWidthOf(HWND window, const wchar_t* text);

// The same for the control's own text (a label's or a button's caption).
int ownTextWidth(HWND control);

// The side of a check box's or radio button's mark.
int checkMarkSize();

// Sizes window so that its client area is clientWidth x clientHeight and
// centres it on the screen.
void sizeAndCentre(HWND window, int clientWidth, int clientHeight);

}  // namespace kestrova::win32
