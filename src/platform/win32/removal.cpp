// Removing what an installation made: empty folders and registry keys.
#include "platform/win32/registry_key.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace kestrova::win32 {

bool Win32Platform::removeFolder(const char* path) {
    Wide name(path);
    // RemoveDirectory refuses a folder that holds anything, which is what
    // keeps files the uninstaller was not told about.
    return name.ok() && RemoveDirectoryW(name) != FALSE;
}

bool Win32Platform::regDeleteKey(RegKey root, const char* subKey) {
    Wide path(subKey ? subKey : "");
    // An empty subKey would name the root itself.
    if (!path.ok() || path.length() == 0) return false;
    return RegDeleteKeyW(toHkey(root), path) == ERROR_SUCCESS;
}

}  // namespace kestrova::win32
