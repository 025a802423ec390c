#include "platform/win32/folder_text.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace kestrova::win32 {

bool folderToGbk(const wchar_t* wide, char* buffer, std::size_t capacity) {
    if (toGbk(wide, -1, buffer, capacity)) return true;
    wchar_t shortPath[MAX_PATH];
    const DWORD length = GetShortPathNameW(wide, shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    return toGbk(shortPath, static_cast<int>(length), buffer, capacity);
}

}  // namespace kestrova::win32
