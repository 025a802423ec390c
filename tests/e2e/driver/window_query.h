#pragma once
// Looking at another process's windows: finding them, reading their texts,
// states and places. Every message sent to them has a timeout, so a hung
// program fails a step instead of hanging the driver.
#include <windows.h>

#include <string>
#include <vector>

#include "text.h"

namespace kestrova::e2e {

// What a top-level window must look like. Empty fields accept anything.
struct WindowQuery {
    std::wstring className;
    TextMatch title;
    bool withControlId = false;
    long controlId = 0;     // a visible control with this id somewhere inside
    TextMatch controlText;  // a visible control with this text somewhere inside
    DWORD processId = 0;    // 0: windows of every process

    bool matches(HWND window) const;
    std::string describe() const;
};

// Visible top-level windows of a process (0: of every process), in Z order.
std::vector<HWND> topWindows(DWORD processId);
// All windows inside a window, depth first, children before grandchildren
// of the next child (EnumChildWindows order).
std::vector<HWND> descendants(HWND window);

// A control's id. Dialog control ids are 16 bits (a command carries the
// low word): an extended template's -1 is the 65535 of a classic one, and
// either value in a script matches both.
long controlId(HWND control);
bool hasControlId(HWND control, long id);

std::wstring windowText(HWND window);
// The text the system keeps for a window, read without sending it a
// message: a title, a static's or a button's caption (not an edit's
// content). Never waits for a program that is busy.
std::wstring storedText(HWND window);
std::wstring windowClass(HWND window);
// Position of a control in its parent's client area, or of a top-level
// window on the screen, and its outer size.
RECT placement(HWND window);

// A message box: a visible top-level #32770 window whose visible controls
// are statics and buttons only, with the box's text in static 65535
// (0xFFFF) and at least one button, all with the ids MessageBox gives its
// buttons (1 to 11). A dialog of the program with controls of its own, or a
// window of statics alone, does not qualify.
struct MessageBoxInfo {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
    std::vector<int> buttons;  // control ids: IDOK, IDYES, ...
    HWND owner = nullptr;      // the window the box belongs to, if any
    std::wstring ownerTitle;
};
bool readMessageBox(HWND window, MessageBoxInfo& box);

// "ok", "cancel", "yes", "no", ... for a MessageBox button id, and back
// (0 for an unknown name).
const char* buttonName(int id);
int buttonId(const std::string& name);

}  // namespace kestrova::e2e
