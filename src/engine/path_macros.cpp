#include "engine/path_macros.h"

#include <cstring>
#include <vector>

#include "engine/gbk_text.h"
#include "platform/scoped_key.h"
#include "state/bounded_text.h"

namespace kestrova {
namespace {

// GetVersion sets its top bit on the Windows 3.x/9x family and keeps the
// major version in its low byte.
constexpr uint32_t kVersion9xFamily = 0x80000000u;

// The folder a macro stands for is assembled here: it is at most an install
// folder (kTextSize) or a system folder with a few names added.
constexpr std::size_t kFolderSize = kTextSize;

// "Common Programs" is read into a zeroed buffer larger than what the read
// may fill, so a value stored without its NUL still ends in one.
constexpr std::size_t kShellFolderBuffer = 300;
constexpr uint32_t kShellFolderMaxBytes = 260;

enum class Folder {
    Found,    // folder holds the text that replaces the macro
    Unknown,  // no such macro, or the system cannot name the folder
};

// "C:\Program Files" on the drive of the Windows folder.
Folder programFiles(Platform& platform, char* folder) {
    char windows[kSystemPathSize] = {};
    if (!platform.windowsFolder(windows, sizeof windows) || windows[0] == '\0')
        return Folder::Unknown;
    copyText(folder, kFolderSize, "C:\\Program Files");
    folder[0] = windows[0];
    return Folder::Found;
}

// The all-users Programs folder of the Start menu. The registry is read on
// every platform (and its failure reported) even where Windows 98 and Me
// then use their own fixed place instead.
Folder startMenu(Platform& platform, UserPort& user, char* folder) {
    char value[kShellFolderBuffer] = {};
    ScopedKey key(platform);
    if (!key.open(kHkeyLocalMachine, kShellFoldersKey, kKeyRead)) {
        user.registryReadError();
    } else {
        uint32_t size = kShellFolderMaxBytes;
        if (!platform.regQueryValue(key.get(), "Common Programs", value, &size))
            std::memset(value, 0, sizeof value);
        key.close();
    }
    int windowsPlatform = getWindowsPlatform(platform);
    if (windowsPlatform == kPlatformWin98 || windowsPlatform == kPlatformWinMe) {
        char windows[kSystemPathSize] = {};
        if (!platform.windowsFolder(windows, sizeof windows)) return Folder::Unknown;
        if (!joinText(folder, kFolderSize, windows, "\\Start Menu\\Programs"))
            return Folder::Unknown;
        return Folder::Found;
    }
    copyText(folder, kFolderSize, value);  // at most 260 bytes: always fits
    return Folder::Found;
}

// The folder for macro (macroLength bytes from '[' through ']'). The rows
// are compared in this order, byte for byte.
Folder folderFor(Platform& platform, UserPort& user, const SetupState& state, const char* macro,
                 std::size_t macroLength, char* folder) {
    auto is = [&](const char* name) {
        return std::strlen(name) == macroLength && std::memcmp(macro, name, macroLength) == 0;
    };
    folder[0] = '\0';
    if (is("[Program Files]")) return programFiles(platform, folder);
    if (is("[InstallDir]")) {
        const void* end = std::memchr(state.installDir, '\0', sizeof state.installDir);
        if (!end) return Folder::Unknown;
        copyText(folder, kFolderSize, state.installDir);
        return Folder::Found;
    }
    if (is("[Absolute Directory]")) return Folder::Found;  // the tail alone
    if (is("[Windows Directory]"))
        return platform.windowsFolder(folder, kSystemPathSize) ? Folder::Found : Folder::Unknown;
    if (is("[Windows System]"))
        return platform.systemFolder(folder, kSystemPathSize) ? Folder::Found : Folder::Unknown;
    if (is("[Windows Desktop]"))
        return platform.desktopFolder(folder, kFolderSize) ? Folder::Found : Folder::Unknown;
    if (is("[Start Menu]")) return startMenu(platform, user, folder);
    return Folder::Unknown;
}

}  // namespace

int getWindowsPlatform(Platform& platform) {
    VersionInfo version = platform.version();
    if (version.packed & kVersion9xFamily) {
        if ((version.packed & 0xFF) < 4) return kPlatformWin32s;
        if (!version.haveDetails) return kPlatformWin95;
        if (version.major == 4 && version.minor == 10) return kPlatformWin98;
        if (version.major == 4 && version.minor == 90) return kPlatformWinMe;
        return kPlatformWin95;
    }
    if (!version.haveDetails) return kPlatformOtherNt;
    if (version.major == 4) return kPlatformNt4;
    if (version.major == 5 && version.minor == 0) return kPlatformWin2000;
    if (version.major == 5 && version.minor == 1) return kPlatformWinXp;
    return kPlatformOtherNt;
}

void expandPathMacros(Platform& platform, UserPort& user, const SetupState& state, char* path,
                      std::size_t capacity) {
    if (!path || capacity == 0 || path[0] != '[') return;
    // A text without its NUL inside the buffer is not a path we can rewrite.
    const void* nul = std::memchr(path, '\0', capacity);
    if (!nul) return;
    std::size_t length = static_cast<const char*>(nul) - path;

    // The script pads its fields with spaces; they are not part of the path.
    std::size_t trimmed = length;
    while (trimmed > 0 && path[trimmed - 1] == ' ') --trimmed;

    const char* close = static_cast<const char*>(std::memchr(path, ']', trimmed));
    if (!close) return;  // no macro without its closing bracket
    std::size_t macroLength = close - path + 1;
    std::size_t tailLength = trimmed - macroLength;

    char folder[kFolderSize];
    if (folderFor(platform, user, state, path, macroLength, folder) != Folder::Found) {
        path[trimmed] = '\0';
        return;
    }
    std::size_t folderLength = std::strlen(folder);
    if (folderLength + tailLength >= capacity) return;  // never a shortened path
    std::memmove(path + folderLength, close + 1, tailLength);
    std::memcpy(path, folder, folderLength);
    path[folderLength + tailLength] = '\0';
}

bool parentFolder(const char* path, char* folder, std::size_t capacity) {
    std::size_t length = std::strlen(path);
    std::size_t cut = 0;
    bool found = false;
    // Stepping by characters, a '\' met is never the second byte of one.
    for (std::size_t i = 0; i < length; i += gbkCharLength(path + i, path + length)) {
        if (path[i] == '\\' && i >= 1) {
            cut = i;
            found = true;
        }
    }
    if (!found) return false;
    // A drive such as "C:" keeps its backslash: "C:\" is a folder, "C:" is
    // the current folder of drive C.
    bool driveRoot = cut < 3;
    if (cut + (driveRoot ? 1 : 0) >= capacity) return false;
    std::memmove(folder, path, cut);
    if (driveRoot) folder[cut++] = '\\';
    folder[cut] = '\0';
    return true;
}

void createFolderPath(Platform& platform, const char* path) {
    std::size_t length = std::strlen(path);
    if (length < 4) return;  // a drive root such as "C:\" needs no creation
    // Every folder to create is a prefix of the path ending before one of
    // its backslashes, so the copy is cut there in turn and restored.
    std::vector<char> prefix(path, path + length + 1);
    for (std::size_t i = 3; i < length; i += gbkCharLength(path + i, path + length)) {
        if (path[i] == '\\') {
            prefix[i] = '\0';
            platform.makeFolder(prefix.data());
            prefix[i] = '\\';
        }
    }
    // The last segment; after a trailing '\' this repeats the one before.
    platform.makeFolder(path);
}

}  // namespace kestrova
