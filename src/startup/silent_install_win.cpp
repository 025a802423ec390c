#include "startup/silent_install_win.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "startup/command_line.h"
#include "startup/silent_install.h"
#include "state/setup_state.h"

namespace kestrova {
namespace {

// The longest command line Windows passes is 32,767 UTF-16 units; in GBK
// that is at most twice as many bytes. (On the stack: a static buffer would
// be stored, zero-filled, in the stub's file.)
constexpr std::size_t kCommandLineSize = 2 * 32768;

// The command line in GBK. A character that GBK cannot hold becomes '?'
// (which no file name may hold) and *exact is false.
void readCommandLine(char (&commandLineText)[kCommandLineSize], bool* exact) {
    const wchar_t* wide = GetCommandLineW();
    *exact = win32::toGbk(wide, -1, commandLineText, sizeof commandLineText);
    if (!*exact && WideCharToMultiByte(win32::kGbk, 0, wide, -1, commandLineText,
                                       sizeof commandLineText, nullptr, nullptr) <= 0)
        commandLineText[0] = '\0';
}

}  // namespace

bool runSilentIfAsked(int* exitCode) {
    bool exact = true;
    char commandLineText[kCommandLineSize];
    readCommandLine(commandLineText, &exact);
    CommandLine commandLine = parseCommandLine(skipProgramName(commandLineText));
    if (!commandLine.silent) return false;
    // A folder that GBK cannot name is refused rather than guessed.
    if (!exact && std::strchr(commandLine.folder, '?')) commandLine.folderAccepted = false;

    // Like the interactive start-up: one state and one platform, living in
    // this frame for the whole run.
    SetupState state;
    win32::Win32Platform platform;
    SilentPort port;
    *exitCode = runSilentInstall(platform, port, state, commandLine);
    return true;
}

}  // namespace kestrova
