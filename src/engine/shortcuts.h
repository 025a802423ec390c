#pragma once
// Shortcuts of the [Menu] section: each shortcut line makes a .lnk file in
// the program group and, on request, on the desktop and in the startup
// folder; every shortcut's path goes to the file log before it is saved.
#include <cstddef>

#include "engine/user_port.h"
#include "package/format.h"
#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

enum class ShortcutLocation { ProgramGroup, Desktop, Startup };

// The fields of one shortcut line, trailing spaces removed, macros not yet
// expanded.
struct ShortcutLine {
    char name[format::kMenuNameWidth + 1];
    char target[format::kMenuTargetWidth + 1];     // the target path
    char arguments[format::kMenuTargetWidth + 1];  // the text after the first '/'
    bool desktop;
    bool startup;
};

// Splits a shortcut line of `length` bytes (line end included or not):
// name in bytes 0-99, target field in 100-399 (split at its first '/', one
// space before the '/' dropped), flags at 400 and 401. Bytes beyond the
// line count as absent. Never reads past line[length].
void parseShortcutLine(const char* line, int length, ShortcutLine* shortcut);

// The working folder of a target path: the text before its last '\', with
// the '\' kept for a drive root such as C:\. Empty when the path has no
// '\'. False, folder empty, when it does not fit.
bool workingFolderOf(const char* target, char* folder, std::size_t capacity);

// Makes one shortcut called name (also its description) for target with
// arguments, in the folder of the location; logs its path in the file log
// before saving. Nothing is made when the desktop folder cannot be found,
// when the startup folder's name cannot be learnt from the registry, or
// when the shell link object cannot be made (then nothing is logged
// either). Failures are not reported.
void createShortcut(Platform& platform, UserPort& user, SetupState& state, const char* target,
                    const char* name, ShortcutLocation location, const char* arguments);

// Makes the shortcuts one [Menu] line asks for: program group, then desktop
// and startup when their flags are "1". Target and arguments are expanded.
void createShortcutsForLine(Platform& platform, UserPort& user, SetupState& state, const char* line,
                            int length);

// The uninstaller's shortcut in the program group: "卸载" + product name,
// pointing at Kestrova-UnInstall.exe in the Windows folder with the file
// log's path as its argument.
void createUninstallerShortcut(Platform& platform, UserPort& user, SetupState& state);

}  // namespace kestrova
