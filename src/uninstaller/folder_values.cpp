#include "uninstaller/folder_values.h"

#include "platform/scoped_key.h"
#include "state/setup_state.h"

namespace kestrova {

std::string readFolderValue(Platform& platform, RegKey root, const char* key, const char* name) {
    char buffer[kTextSize];
    ScopedKey opened(platform);
    if (!opened.open(root, key, kKeyRead)) return std::string();
    uint32_t size = sizeof buffer - 1;
    if (!platform.regQueryValue(opened.get(), name, buffer, &size)) return std::string();
    // A value stored without its NUL ends at its length.
    buffer[size < sizeof buffer ? size : sizeof buffer - 1] = '\0';
    return buffer;
}

std::string longForm(Platform& platform, const std::string& path) {
    if (path.empty()) return path;
    char buffer[kTextSize];
    return platform.longPathName(path.c_str(), buffer, sizeof buffer) ? buffer : path;
}

}  // namespace kestrova
