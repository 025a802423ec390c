// Drives: which exist, their types and their free space.
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

bool Win32Platform::freeSpace(const char* root, uint64_t* bytes) {
    Wide path(root);
    if (!path.ok()) return false;
    ULARGE_INTEGER available, total, free;
    if (!GetDiskFreeSpaceExW(path, &available, &total, &free)) return false;
    *bytes = available.QuadPart;
    return true;
}

}  // namespace kestrova::win32
