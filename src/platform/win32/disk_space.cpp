// The free space of a whole disk, as the drive list of the folder page
// shows it: not reduced by the caller's quota.
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace kestrova::win32 {

bool Win32Platform::diskFreeBytes(const char* root, uint64_t* bytes) {
    Wide path(root);
    if (!path.ok()) return false;
    ULARGE_INTEGER available, total, free;
    if (!GetDiskFreeSpaceExW(path, &available, &total, &free)) return false;
    *bytes = free.QuadPart;
    return true;
}

}  // namespace kestrova::win32
