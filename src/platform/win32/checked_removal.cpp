// The uninstaller's removal, which runs elevated over paths from files any
// user may have edited: paths are judged in their long form, and what is
// deleted is the very object whose final path was checked.
#include <cwchar>

#include "platform/win32/handle.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace kestrova::win32 {
namespace {

// Room for any path the logs can hold (kTextSize GBK bytes give at most as
// many UTF-16 units) and the "\\?\" the system puts before a final path.
constexpr DWORD kPathUnits = 1024;

// The attributes a FILE_BASIC_INFO may set; the others belong to the file
// system and make the call fail.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Nothing there: no such file or folder, no such drive, no medium in it.
bool isAbsence(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_DRIVE || error == ERROR_NOT_READY;
}

// True when the object behind file is reached by exactly path: the system's
// normalized final path, after its "\\?\", compared without regard to case.
// A junction, a symbolic link, a mount point or a substituted drive anywhere
// on the way gives another final path.
bool finalPathIs(HANDLE file, const wchar_t* path) {
    wchar_t final[kPathUnits];
    DWORD n =
        GetFinalPathNameByHandleW(file, final, kPathUnits, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= kPathUnits) return false;
    const wchar_t* shown = final;
    if (std::wcsncmp(shown, L"\\\\?\\", 4) == 0) shown += 4;
    if (std::wcsncmp(shown, L"UNC\\", 4) == 0) return false;  // a share, never a local path
    return CompareStringOrdinal(shown, -1, path, -1, TRUE) == CSTR_EQUAL;
}

bool markForDeletion(HANDLE file) {
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof disposition) != FALSE;
}

// Zero times leave the file's times as they are.
bool setAttributes(HANDLE file, DWORD attributes) {
    FILE_BASIC_INFO basic = {};
    attributes &= kSettableAttributes;
    basic.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

}  // namespace

bool Win32Platform::longPathName(const char* path, char* buffer, std::size_t capacity) {
    if (capacity == 0) return false;
    buffer[0] = '\0';
    Wide name(path);
    if (!name.ok() || name.length() < 3 || name.length() >= static_cast<int>(kPathUnits))
        return false;
    const wchar_t* given = name;
    // The head [0, cut) is looked up; the tail from cut on is kept. A missing
    // part is cut off with everything after it, up to the drive's root.
    std::size_t cut = static_cast<std::size_t>(name.length());
    wchar_t head[kPathUnits], result[kPathUnits];
    for (;;) {
        std::wmemcpy(head, given, cut);
        head[cut] = L'\0';
        DWORD n = GetLongPathNameW(head, result, kPathUnits);
        if (n > 0 && n < kPathUnits) break;
        if (n != 0 || !isAbsence(GetLastError())) return false;
        std::size_t slash = cut;
        while (slash > 0 && given[slash - 1] != L'\\') --slash;
        if (slash <= 3) {  // nothing of it exists below the root: all as given
            if (cut <= 3) {
                std::wmemcpy(result, given, 3);
                result[3] = L'\0';
                cut = 3;
                break;
            }
            cut = 3;  // the root itself, "X:\", keeps its backslash
        } else {
            cut = slash - 1;
        }
    }
    std::size_t length = std::wcslen(result);
    // A root comes back as "X:\" and the kept tail begins with its part's
    // name; any other head comes back without a trailing backslash.
    if (cut == 3 && length == 3 && given[cut] == L'\\') ++cut;
    if (length + (name.length() - cut) >= kPathUnits) return false;
    std::wmemcpy(result + length, given + cut, name.length() - cut + 1);
    return toGbk(result, -1, buffer, capacity);
}

HandleRemoval Win32Platform::removeThroughHandle(const char* path, bool folder) {
    Wide name(path);
    if (!name.ok()) return HandleRemoval::Failed;
    // FILE_FLAG_OPEN_REPARSE_POINT opens a link at the path itself rather
    // than what it points to; FILE_FLAG_BACKUP_SEMANTICS lets a folder open.
    Handle file(CreateFileW(name, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.isValid())
        return isAbsence(GetLastError()) ? HandleRemoval::Missing : HandleRemoval::Failed;

    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file.get(), &info)) return HandleRemoval::Failed;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return HandleRemoval::Elsewhere;
    if (((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder)
        return HandleRemoval::OtherKind;
    if (!finalPathIs(file.get(), name)) return HandleRemoval::Elsewhere;

    // The file goes when the handle closes.
    if (markForDeletion(file.get())) return HandleRemoval::Removed;
    // Only a read-only file is refused for its attribute (setups install
    // files as they came from a CD); a folder refuses because it holds
    // something, which is the rule, not a fault.
    const DWORD attributes = info.dwFileAttributes;
    if (folder || !(attributes & FILE_ATTRIBUTE_READONLY)) return HandleRemoval::Failed;
    if (!setAttributes(file.get(), attributes & ~FILE_ATTRIBUTE_READONLY))
        return HandleRemoval::Failed;
    const bool deleted = markForDeletion(file.get());
    // The attributes belong to the file, not to this name: another name of a
    // hard-linked file keeps them, and a file that stays is left as it was.
    if (!deleted || info.nNumberOfLinks > 1) setAttributes(file.get(), attributes);
    return deleted ? HandleRemoval::Removed : HandleRemoval::Failed;
}

}  // namespace kestrova::win32
