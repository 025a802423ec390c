#pragma once
// The unattended install ("/S"): the extraction and the install run of the
// wizard's way, without a window. Every question gets the safe answer and
// every error is remembered, so that the exit code tells a deploying script
// what happened.
#include <cstdint>

#include "engine/user_port.h"
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

// What the run would have told a user.
struct SilentReport {
    bool packageReadError = false;  // the package or the unpacked script could not be read
    bool fileFailed = false;        // a file could not be created (the run was stopped)
    bool otherError = false;        // any other error
};

// The unattended setup's user port: shows nothing and gives the safe
// answers. A run without a user never wants to quit, and after a file that
// cannot be created it stops (going on would install a product with a file
// missing). Every error is remembered in report for the exit code.
class SilentPort : public UserPort {
  public:
    void status(const char*) override {}
    bool stopAfterFailedFile(const char*) override {
        report.fileFailed = true;
        return true;
    }
    bool confirmQuit() override { return false; }
    void packageReadError() override { report.packageReadError = true; }
    void scriptReadError() override { report.packageReadError = true; }
    void logCreateError() override { report.otherError = true; }
    void processStartError() override { report.otherError = true; }
    void registryReadError() override { report.otherError = true; }
    void registryWriteError() override { report.otherError = true; }
    void fileCreateError(const char*) override { report.otherError = true; }

    SilentReport report;
};

// Installs without a window: refuses an unknown argument or a "/D=" folder
// that the folder page would refuse (before anything is written), unpacks
// and checks the package, takes the "/D=" folder or the script's default
// as the install folder (refusing a default the folder page would refuse),
// makes it and makes it the current folder, opens the uninstall logs and
// runs the install run on this thread; the temporary files are deleted on
// every way out. Returns a SilentExitCode.
int runSilentInstall(Platform& platform, SilentPort& port, SetupState& state,
                     const CommandLine& commandLine);

}  // namespace kestrova
