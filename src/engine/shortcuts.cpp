#include "engine/shortcuts.h"

#include <cstring>

#include "engine/path_macros.h"
#include "engine/registry_import.h"
#include "engine/uninstall_log.h"
#include "engine/uninstaller_registration.h"
#include "package/format.h"
#include "platform/scoped_key.h"
#include "resources/texts.h"
#include "state/bounded_text.h"

namespace kestrova {
namespace {

// Copies bytes [from, from + width) of a line of `length` bytes, stopping
// at the line end, and removes trailing spaces.
void copyField(const char* line, int length, int from, int width, char* out) {
    int end = from + width < length ? from + width : length;
    int n = 0;
    for (int i = from; i < end && line[i] != '\r' && line[i] != '\n'; ++i) out[n++] = line[i];
    while (n > 0 && out[n - 1] == ' ') --n;
    out[n] = '\0';
}

bool flagAt(const char* line, int length, int at) {
    return at < length && line[at] == '1';
}

// The startup folder: "[Start Menu]\" + the last component of the
// registry's "Common Startup" value + "\", expanded. False when the value
// gives no folder name.
bool startupFolder(Platform& platform, UserPort& user, const SetupState& state, char* folder,
                   std::size_t capacity) {
    ScopedKey key(platform);
    RegKey levels = 0;
    if (!key.open(kHkeyLocalMachine, kShellFoldersKey, kKeyAllAccess) &&
        openKeyPathLevels(platform, kHkeyLocalMachine, kShellFoldersKey, kKeyWrite, &levels))
        key.adopt(levels);
    char value[200] = {};
    if (key.isOpen()) {
        uint32_t size = sizeof value - 1;
        if (!platform.regQueryValue(key.get(), "Common Startup", value, &size)) value[0] = '\0';
        key.close();
    }
    const char* slash = std::strrchr(value, '\\');
    if (!slash || slash[1] == '\0') return false;
    if (!joinText(folder, capacity, "[Start Menu]\\", slash + 1, "\\")) return false;
    expandPathMacros(platform, user, state, folder, capacity);
    return true;
}

struct LogContext {
    SetupState* state;
    const char* linkPath;
};

// Runs once the link object is ready: the path is logged before saving,
// so a shortcut that fails to save is still listed for the uninstaller.
void logBeforeSave(void* context) {
    auto* log = static_cast<LogContext*>(context);
    writeLogLine(*log->state, LogKind::File, log->linkPath);
}

}  // namespace

void parseShortcutLine(const char* line, int length, ShortcutLine* shortcut) {
    copyField(line, length, 0, format::kMenuNameWidth, shortcut->name);
    char field[format::kMenuTargetWidth + 1];
    copyField(line, length, format::kMenuTargetField, format::kMenuTargetWidth, field);
    char* slash = std::strchr(field, '/');
    if (slash) {
        std::strcpy(shortcut->arguments, slash + 1);
        *slash = '\0';
        std::size_t n = std::strlen(field);
        if (n > 0 && field[n - 1] == ' ') field[n - 1] = '\0';
    } else {
        shortcut->arguments[0] = '\0';
    }
    std::strcpy(shortcut->target, field);
    shortcut->desktop = flagAt(line, length, format::kMenuDesktopFlag);
    shortcut->startup = flagAt(line, length, format::kMenuStartupFlag);
}

bool workingFolderOf(const char* target, char* folder, std::size_t capacity) {
    if (capacity == 0) return false;
    folder[0] = '\0';
    const char* slash = std::strrchr(target, '\\');
    if (!slash) return true;
    std::size_t n = static_cast<std::size_t>(slash - target);
    if (n < 3) ++n;  // a drive root keeps its backslash: C:\ .
    return copyTextN(folder, capacity, target, n);
}

void createShortcut(Platform& platform, UserPort& user, SetupState& state, const char* target,
                    const char* name, ShortcutLocation location, const char* arguments) {
    char desktop[kSystemPathSize];
    if (!platform.desktopFolder(desktop, sizeof desktop)) return;

    char folder[kExpandedPathSize];
    switch (location) {
        case ShortcutLocation::ProgramGroup:
            if (!copyText(folder, state.programGroupPath)) return;
            break;
        case ShortcutLocation::Desktop:
            if (!joinText(folder, desktop, "\\")) return;
            break;
        case ShortcutLocation::Startup:
            if (!startupFolder(platform, user, state, folder, sizeof folder)) return;
            break;
    }
    char linkPath[kExpandedPathSize];
    if (!joinText(linkPath, folder, name, ".lnk")) return;
    char working[kExpandedPathSize];
    if (!workingFolderOf(target, working, sizeof working)) return;

    ShellLinkFields fields{target, arguments, working, name, kSwShow};
    LogContext log{&state, linkPath};
    platform.createShellLink(fields, linkPath, logBeforeSave, &log);
}

void createShortcutsForLine(Platform& platform, UserPort& user, SetupState& state, const char* line,
                            int length) {
    ShortcutLine shortcut;
    parseShortcutLine(line, length, &shortcut);
    char target[kExpandedPathSize];
    char arguments[kExpandedPathSize];
    copyText(target, shortcut.target);
    copyText(arguments, shortcut.arguments);
    expandPathMacros(platform, user, state, target, sizeof target);
    expandPathMacros(platform, user, state, arguments, sizeof arguments);

    createShortcut(platform, user, state, target, shortcut.name, ShortcutLocation::ProgramGroup,
                   arguments);
    if (shortcut.desktop)
        createShortcut(platform, user, state, target, shortcut.name, ShortcutLocation::Desktop,
                       arguments);
    if (shortcut.startup)
        createShortcut(platform, user, state, target, shortcut.name, ShortcutLocation::Startup,
                       arguments);
}

void createUninstallerShortcut(Platform& platform, UserPort& user, SetupState& state) {
    char name[kTextSize + 16];
    if (!joinText(name, texts::kUninstallShortcutPrefix, state.productName)) return;
    char windows[kSystemPathSize];
    if (!platform.windowsFolder(windows, sizeof windows)) return;
    char target[kSystemPathSize + 32];
    if (!joinText(target, windows, "\\", kUninstallerFileName)) return;
    createShortcut(platform, user, state, target, name, ShortcutLocation::ProgramGroup,
                   state.fileLogPath);
}

}  // namespace kestrova
