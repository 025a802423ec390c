#pragma once
// The unattended install ("/S"): the extraction and the install run of the
// wizard's way, without a window. Every question gets the safe answer and
// every error is remembered, so that the exit code tells a deploying script
// what happened.
#include <cstdint>

#include "platform/platform.h"
#include "startup/command_line.h"
#include "state/setup_state.h"

namespace kestrova {

// Exit codes of an unattended install, each failure its own.
enum SilentExitCode : int {
    kSilentInstalled = 0,       // every step of the install run completed
    kSilentStopped = 1,         // the install run ended early for another reason
    kSilentDamagedPackage = 2,  // the package read error: damaged, truncated, unreadable
    kSilentFolderNotMade = 3,   // the install folder cannot be made
    kSilentFileFailed = 4,      // a file (or an uninstall log) could not be created
    kSilentPathRefused = 5,     // an argument or the install folder is refused; nothing installed
    kSilentStepFailed = 6,      // installed, but a step reported an error
};

// What the message boxes of a silent run would have told.
struct SilentReport {
    bool packageReadError = false;  // the package or the unpacked script could not be read
    bool fileFailed = false;        // a file could not be created (the run was stopped)
    bool otherError = false;        // any other error message
};

// The answer a silent run gives to a message box, recording what it says:
// the quit question is answered No (the run goes on), the question after a
// file that cannot be created Yes (the install stops), every other box OK.
int silentAnswer(const char* text, const char* caption, uint32_t style, SilentReport& report);

// A platform that shows nothing: message boxes are answered by silentAnswer
// and status texts go nowhere. Base is the real platform (or a test's).
template <class Base>
class SilentPlatform : public Base {
  public:
    int messageBox(WindowRef, const char* text, const char* caption, uint32_t style) override {
        return silentAnswer(text, caption, style, report);
    }
    void setControlText(WindowRef, int, const char*) override {}

    SilentReport report;
};

// Installs without a window: refuses an unknown argument or a "/D=" folder
// that the folder page would refuse (before anything is written), unpacks
// and checks the package, takes the "/D=" folder or the script's default
// as the install folder (refusing a default the folder page would refuse),
// makes it and makes it the current folder, opens the uninstall logs and
// runs the install run on this thread; the temporary files are deleted on
// every way out. Returns a SilentExitCode.
int runSilentInstall(Platform& platform, SetupState& state, const SilentReport& report,
                     const CommandLine& commandLine);

}  // namespace kestrova
