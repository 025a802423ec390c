#pragma once
// Screenshots of a window or the whole screen, for people to look at after a run, and
// the pixels of a part of it, for steps that check what was drawn.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kestrova::e2e {

// Captures the screen area of window (its frame; the whole screen when
// window is null or gone) and writes it as a PNG file. False with the
// reason in error when the capture or the file fails.
bool saveScreenshot(const std::wstring& path, HWND window, std::string& error);

// The pixels of a rectangle of the screen (screen coordinates) as top-down
// rows of R, G, B bytes. False with the reason in error.
bool captureScreenArea(int left, int top, int width, int height, std::vector<uint8_t>& rgb,
                       std::string& error);

}  // namespace kestrova::e2e
