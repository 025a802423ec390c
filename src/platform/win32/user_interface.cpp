// User interface: message boxes.
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace kestrova::win32 {

int Win32Platform::messageBox(WindowRef owner, const char* text, const char* caption,
                              uint32_t style) {
    Wide wideText(text ? text : "", Conversion::Lenient);
    Wide wideCaption(caption, Conversion::Lenient);
    // A null caption lets the system use its own ("Error").
    return MessageBoxW(static_cast<HWND>(owner), wideText, caption ? wideCaption.get() : nullptr,
                       style);
}

}  // namespace kestrova::win32
