// Drives: which exist, their types and their free space.
#include "platform/win32/error_mode.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace kestrova::win32 {

uint32_t Win32Platform::logicalDrives() {
    return GetLogicalDrives();
}

int Win32Platform::driveType(const char* root) {
    Wide path(root);
    if (!path.ok()) return kDriveNoRootDir;
    return static_cast<int>(GetDriveTypeW(path));
}

namespace {

// The free bytes of the drive of root: those the caller may use (quota
// taken off), or those of the whole disk. A removable drive without its
// medium fails without the system's box.
bool freeBytes(const char* root, bool wholeDisk, uint64_t* bytes) {
    Wide path(root);
    if (!path.ok()) return false;
    ULARGE_INTEGER available, total, free;
    QuietDriveErrors quiet;
    if (!GetDiskFreeSpaceExW(path, &available, &total, &free)) return false;
    *bytes = wholeDisk ? free.QuadPart : available.QuadPart;
    return true;
}

}  // namespace

bool Win32Platform::freeSpace(const char* root, uint64_t* bytes) {
    return freeBytes(root, false, bytes);
}

// The drive list of the folder page shows the whole disk's free space.
bool Win32Platform::diskFreeBytes(const char* root, uint64_t* bytes) {
    return freeBytes(root, true, bytes);
}

}  // namespace kestrova::win32
