// System folders and facts: the Windows, system and temporary folders, the
// desktop, the program's own path, the local time and the version.
#include <shlobj.h>

#include "platform/win32/folder_text.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace kestrova::win32 {
namespace {

// These calls return the length without the NUL when the text fitted, and a
// larger number (the size they need) when it did not.
constexpr DWORD kWideUnits = static_cast<DWORD>(kSystemPathSize);

// Converts a system folder of length units into buffer, held to
// kSystemPathSize bytes as the setup's own buffers are.
bool systemResult(const wchar_t* wide, DWORD length, char* buffer, std::size_t capacity) {
    if (capacity == 0) return false;
    buffer[0] = '\0';
    if (length == 0 || length >= kWideUnits) return false;
    std::size_t limit = capacity < kSystemPathSize ? capacity : kSystemPathSize;
    return toGbk(wide, static_cast<int>(length), buffer, limit);
}

}  // namespace

bool Win32Platform::windowsFolder(char* buffer, std::size_t capacity) {
    wchar_t wide[kSystemPathSize];
    return systemResult(wide, GetWindowsDirectoryW(wide, kWideUnits), buffer, capacity);
}

bool Win32Platform::systemFolder(char* buffer, std::size_t capacity) {
    wchar_t wide[kSystemPathSize];
    return systemResult(wide, GetSystemDirectoryW(wide, kWideUnits), buffer, capacity);
}

bool Win32Platform::tempFolder(char* buffer, std::size_t capacity) {
    wchar_t wide[kSystemPathSize];
    const DWORD length = GetTempPathW(kWideUnits, wide);
    if (systemResult(wide, length, buffer, capacity)) return true;
    // A user whose folder cannot be written in GBK gets its short form.
    if (length == 0 || length >= kWideUnits) return false;
    std::size_t limit = capacity < kSystemPathSize ? capacity : kSystemPathSize;
    return folderToGbk(wide, buffer, limit);
}

bool Win32Platform::modulePath(char* buffer, std::size_t capacity) {
    wchar_t wide[kSystemPathSize];
    // A path that was cut short comes back with length == kWideUnits (and,
    // on older systems, without a NUL); systemResult rejects it.
    return systemResult(wide, GetModuleFileNameW(nullptr, wide, kWideUnits), buffer, capacity);
}

bool Win32Platform::desktopFolder(char* buffer, std::size_t capacity) {
    if (capacity == 0) return false;
    buffer[0] = '\0';
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &items)) || !items) {
        return false;
    }
    wchar_t wide[MAX_PATH];  // the size SHGetPathFromIDListW writes into
    bool found = SHGetPathFromIDListW(items, wide) != FALSE;
    CoTaskMemFree(items);  // the shell's item lists come from the task allocator
    return found && folderToGbk(wide, buffer, capacity) && buffer[0] != '\0';
}

LocalTime Win32Platform::localTime() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return LocalTime{now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                     now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
}

VersionInfo Win32Platform::version() {
    VersionInfo info;
    info.packed = GetVersion();
    OSVERSIONINFOW details = {};
    details.dwOSVersionInfoSize = sizeof details;
    if (GetVersionExW(&details)) {
        info.haveDetails = true;
        info.major = details.dwMajorVersion;
        info.minor = details.dwMinorVersion;
    }
    return info;
}

}  // namespace kestrova::win32
