#include "uninstaller/allow_list.h"

#include <cstring>

#include "engine/gbk_text.h"
#include "engine/path_macros.h"
#include "uninstaller/folder_values.h"

namespace kestrova {
namespace {

// The part of path after folder's, when path lies strictly inside folder
// (without the backslash between them); null otherwise.
const char* partInside(const char* path, const std::string& folder) {
    if (folder.empty() || !isStrictlyInside(path, folder.c_str())) return nullptr;
    return path + folder.size() + 1;
}

bool hasBackslash(const char* text) {
    const char* end = text + std::strlen(text);
    for (const char* p = text; p < end; p += gbkCharLength(p, end))
        if (*p == '\\') return true;
    return false;
}

// One name, directly in the folder.
bool isDirectlyInside(const char* path, const std::string& folder) {
    const char* name = partInside(path, folder);
    return name && !hasBackslash(name);
}

// ".lnk" in any case. The four bytes cannot be the end of a Chinese
// character: '.' is never a second byte in GBK.
bool isShortcut(const char* path) {
    const std::size_t n = std::strlen(path);
    if (n < 4) return false;
    const char* suffix = path + n - 4;
    for (int i = 0; i < 4; ++i) {
        char c = suffix[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != ".lnk"[i]) return false;
    }
    return true;
}

// The program group that holds path directly: a folder directly in the
// Programs folder.
bool isInProgramGroup(const char* path, const std::string& programs) {
    const char* rest = partInside(path, programs);
    if (!rest) return false;
    const char* end = rest + std::strlen(rest);
    int parts = 1;
    for (const char* p = rest; p < end; p += gbkCharLength(p, end))
        if (*p == '\\') ++parts;
    return parts == 2;
}

}  // namespace

std::string AllowList::usable(const std::string& folder) {
    std::string f = folder;
    while (f.size() > 3 && f.back() == '\\') f.pop_back();
    return isPlainFullPath(f.c_str()) ? f : std::string();
}

bool AllowList::allowsFile(const char* path) const {
    if (partInside(path, install_)) return true;
    if (!isShortcut(path)) return false;
    return isDirectlyInside(path, desktop_) || isDirectlyInside(path, startup_) ||
           isInProgramGroup(path, programs_);
}

bool AllowList::allowsFolder(const char* path) const {
    if (!install_.empty() && isSameOrInside(path, install_.c_str())) return true;
    return isDirectlyInside(path, programs_);
}

void fillAllowList(Platform& platform, const UninstallPaths& paths, const RemovalGuard& guard,
                   AllowList* list) {
    *list = AllowList();
    const std::string install = longForm(platform, paths.installFolder);
    if (!guard.holdsGuarded(install.c_str())) list->setInstallFolder(install);

    char desktop[kTextSize];
    if (platform.desktopFolder(desktop, sizeof desktop))
        list->setDesktop(longForm(platform, desktop));

    const std::string programs =
        readFolderValue(platform, kHkeyLocalMachine, kShellFoldersKey, "Common Programs");
    list->setPrograms(longForm(platform, programs));
    const std::string startup =
        readFolderValue(platform, kHkeyLocalMachine, kShellFoldersKey, "Common Startup");
    const std::size_t slash = startup.rfind('\\');
    if (!programs.empty() && slash != std::string::npos && slash + 1 < startup.size())
        list->setStartup(longForm(platform, programs + startup.substr(slash)));
}

}  // namespace kestrova
