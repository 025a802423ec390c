#pragma once
// Path macros: a bracketed folder name at the very start of a path, such as
// "[InstallDir]", replaced by the real folder. Byte-exact, case-sensitive.
#include <cstddef>

#include "engine/user_port.h"
#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

// Windows platform codes (getWindowsPlatform).
constexpr int kPlatformWin32s = 0;
constexpr int kPlatformOtherNt = 1;
constexpr int kPlatformWin95 = 2;
constexpr int kPlatformWin98 = 3;
constexpr int kPlatformWinMe = 4;
constexpr int kPlatformNt4 = 5;
constexpr int kPlatformWin2000 = 6;
constexpr int kPlatformWinXp = 7;

// The key under HKEY_LOCAL_MACHINE that holds the all-users shell folders
// ("Common Programs", "Common Startup", ...).
constexpr const char kShellFoldersKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The size of a buffer for an expanded path, which may grow past the field
// or line it came from: a macro's folder (up to kTextSize - 1 bytes)
// followed by the rest of a script line (at most 479 bytes).
constexpr std::size_t kExpandedPathSize = 1024;

// The platform code of the running Windows (kPlatform...), from the packed
// version and, when the platform has them, the major and minor version.
int getWindowsPlatform(Platform& platform);

// Expands a leading macro of the path in place (capacity: the buffer's
// size). A path that does not begin with '[', or has no ']', is left exactly
// as it is. An expansion that would not fit leaves the path exactly as it
// was, never shortened. An unknown macro, or a folder the system cannot
// name, leaves the macro in place with the trailing spaces removed. The
// [Start Menu] folder reads the registry; a key that cannot be opened is
// told to user (registryReadError) and the expansion goes on.
void expandPathMacros(Platform& platform, UserPort& user, const SetupState& state, char* path,
                      std::size_t capacity);

template <std::size_t N>
void expandPathMacros(Platform& platform, UserPort& user, const SetupState& state,
                      char (&path)[N]) {
    expandPathMacros(platform, user, state, path, N);
}

// Writes the folder part of path into folder (capacity bytes): the text
// before the last '\' at position 1 or later, with a '\' kept for a drive
// root. Paths are walked as GBK: the second byte of a Chinese character is
// never taken for a '\'. False, folder untouched, when there is none or it
// does not fit.
bool parentFolder(const char* path, char* folder, std::size_t capacity);

// Creates the folder named by path and every missing folder above it, from
// the top down, walking the path as GBK. Results are not reported. A path
// shorter than 4 bytes (a drive root) creates nothing.
void createFolderPath(Platform& platform, const char* path);

}  // namespace kestrova
