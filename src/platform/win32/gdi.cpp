#include "platform/win32/gdi.h"

namespace kestrova::win32 {

HFONT makeFontLike(HWND window, LONG weight) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    LOGFONTW description;
    if (!font || GetObjectW(font, sizeof description, &description) != sizeof description)
        return nullptr;
    description.lfWeight = weight;
    return CreateFontIndirectW(&description);
}

}  // namespace kestrova::win32
