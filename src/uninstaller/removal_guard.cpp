#include "uninstaller/removal_guard.h"

#include <cstring>

#include "engine/gbk_text.h"
#include "engine/path_macros.h"
#include "uninstaller/folder_values.h"

namespace kestrova {
namespace {

char foldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The text without trailing backslashes, except the one of a drive root.
std::string trimmed(const char* folder) {
    std::string text = folder ? folder : "";
    while (text.size() > 3 && text.back() == '\\') text.pop_back();
    return text;
}

bool isForbiddenByte(unsigned char c) {
    return c < 0x20 || std::strchr("/:*?\"<>|", c) != nullptr;
}

}  // namespace

bool isPlainFullPath(const char* path) {
    const std::size_t length = std::strlen(path);
    const char* end = path + length;
    if (length < 4 || !((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) ||
        path[1] != ':' || path[2] != '\\')
        return false;
    const char* part = path + 3;  // start of the current part
    for (const char* p = part;;) {
        if (p == end || *p == '\\') {
            std::size_t n = static_cast<std::size_t>(p - part);
            if (n == 0) return false;
            if (p[-1] == '.' || p[-1] == ' ') return false;  // also "." and ".."
            if (p == end) return true;
            part = ++p;
            continue;
        }
        std::size_t step = gbkCharLength(p, end);
        if (step == 1 && isForbiddenByte(static_cast<unsigned char>(*p))) return false;
        p += step;
    }
}

bool isSameOrInside(const char* path, const char* folder) {
    const std::string f = trimmed(folder);
    if (f.empty()) return false;
    const char* p = path;
    const char* pEnd = path + std::strlen(path);
    const char* q = f.c_str();
    const char* qEnd = q + f.size();
    while (q < qEnd) {
        if (p >= pEnd) return false;
        std::size_t pn = gbkCharLength(p, pEnd), qn = gbkCharLength(q, qEnd);
        if (pn != qn) return false;
        if (pn == 1 ? foldCase(*p) != foldCase(*q) : std::memcmp(p, q, 2) != 0) return false;
        p += pn;
        q += qn;
    }
    // Whole parts only: C:\WINDOWS2 is not inside C:\WINDOWS.
    return p == pEnd || *p == '\\' || q[-1] == '\\';
}

bool isStrictlyInside(const char* path, const char* folder) {
    return isSameOrInside(path, folder) && !isSameOrInside(folder, path);
}

void RemovalGuard::protect(const char* folder) {
    if (folder && *folder) protected_.push_back(trimmed(folder));
}
void RemovalGuard::seal(const char* folder) {
    if (folder && *folder) sealed_.push_back(trimmed(folder));
}
void RemovalGuard::allowInside(const char* folder) {
    protect(folder);
    // A root or a bare drive ("C:", as a desktop value may read) would open
    // everything on it.
    const std::string f = trimmed(folder);
    if (isPlainFullPath(f.c_str())) allowed_.push_back(f);
}

bool RemovalGuard::mayRemove(const char* path) const {
    std::string p = path;
    if (p.size() > 4 && p.back() == '\\') p.pop_back();
    if (!isPlainFullPath(p.c_str())) return false;  // drive roots too
    auto same = [&](const std::string& folder) {
        return isSameOrInside(p.c_str(), folder.c_str()) &&
               isSameOrInside(folder.c_str(), p.c_str());
    };
    for (const std::string& folder : protected_)
        if (same(folder)) return false;
    for (const std::string& sealed : sealed_) {
        if (!isSameOrInside(p.c_str(), sealed.c_str())) continue;
        // A desktop that is the Windows folder, or C:\ holding it, must not
        // open it: only one that lies strictly inside does.
        bool allowed = false;
        for (const std::string& open : allowed_)
            if (isStrictlyInside(open.c_str(), sealed.c_str()) &&
                isSameOrInside(p.c_str(), open.c_str()))
                allowed = true;
        if (!allowed) return false;
    }
    return true;
}

bool RemovalGuard::holdsGuarded(const char* folder) const {
    for (const auto* list : {&protected_, &sealed_, &allowed_})
        for (const std::string& guarded : *list)
            if (isSameOrInside(guarded.c_str(), folder)) return true;
    return false;
}

void guardSystemFolders(Platform& platform, RemovalGuard* guard) {
    char folder[kSystemPathSize + 32];
    char windows[kSystemPathSize] = {};
    auto seal = [&](const std::string& f) { guard->seal(longForm(platform, f).c_str()); };
    auto protect = [&](const std::string& f) { guard->protect(longForm(platform, f).c_str()); };
    auto allowInside = [&](const std::string& f) {
        guard->allowInside(longForm(platform, f).c_str());
    };
    if (platform.windowsFolder(windows, sizeof windows)) {
        seal(windows);
        // Program Files on the system's drive, as the setup's macro forms it,
        // and the folder 32-bit programs get on a 64-bit system.
        std::strcpy(folder, "C:\\Program Files");
        folder[0] = windows[0];
        protect(folder);
        std::strcat(folder, " (x86)");
        protect(folder);
    }
    if (platform.systemFolder(folder, sizeof folder)) seal(folder);
    if (platform.desktopFolder(folder, sizeof folder)) allowInside(folder);

    static const char kUserShellFolders[] =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    static const char* const kAllUsers[] = {"Common Desktop", "Common Start Menu",
                                            "Common Programs", "Common Startup"};
    static const char* const kUser[] = {"Desktop", "Start Menu", "Programs", "Startup"};
    static const char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    for (const char* name : kAllUsers)
        allowInside(readFolderValue(platform, kHkeyLocalMachine, kShellFoldersKey, name));
    for (const char* name : kUser)
        allowInside(readFolderValue(platform, kHkeyCurrentUser, kUserShellFolders, name));
    for (const char* name : {"ProgramFilesDir", "ProgramFilesDir (x86)", "CommonFilesDir"})
        protect(readFolderValue(platform, kHkeyLocalMachine, kCurrentVersion, name));
}

}  // namespace kestrova
