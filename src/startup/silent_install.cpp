#include "startup/silent_install.h"

#include "engine/install_run.h"
#include "engine/path_macros.h"
#include "engine/uninstall_log.h"
#include "package/lzss_decoder.h"
#include "startup/extract_package.h"
#include "state/bounded_text.h"
#include "wizard/installed_folder.h"

namespace kestrova {

int runSilentInstall(Platform& platform, SilentPort& port, SetupState& state,
                     const CommandLine& commandLine) {
    const SilentReport& report = port.report;
    if (commandLine.unknownArgument || (commandLine.hasFolder && !commandLine.folderAccepted))
        return kSilentPathRefused;

    LzssDecoder decoder(platform, state, port);
    if (!extractPackage(platform, port, state, decoder)) return kSilentDamagedPackage;

    // The script's default meets the folder page's rule too: one without a
    // drive would land below whatever folder the caller runs in (System32
    // for a deployment agent), and "C:\" would fill the drive's root.
    char folder[kSystemPathSize];
    int code = kSilentInstalled;
    if (commandLine.hasFolder) {
        copyText(folder, commandLine.folder);
    } else {
        // Without "/D=" an upgrade lands on the installed copy.
        proposeInstalledFolder(platform, state);
        if (!acceptInstallFolder(state.installDir, folder, sizeof folder))
            code = kSilentPathRefused;
    }

    if (code == kSilentInstalled) {
        // As the folder page does when it is left: the folder is made and
        // becomes the current folder, which the programs the run starts
        // inherit. Then, as the progress page does, the logs and the run.
        copyText(state.installDir, folder);
        createFolderPath(platform, state.installDir);
        if (!platform.changeFolder(state.installDir))
            code = kSilentFolderNotMade;
        else if (!openUninstallLogs(platform, port, state))
            code = kSilentFileFailed;
        else
            installRun(platform, port, state);
    }
    deleteTempFiles(platform, state);
    if (code != kSilentInstalled) return code;

    if (report.packageReadError) return kSilentDamagedPackage;
    if (report.fileFailed || state.installAbandoned) return kSilentFileFailed;
    if (state.filesDone.load() != state.fileCount + 1) return kSilentStopped;
    return report.otherError ? kSilentStepFailed : kSilentInstalled;
}

}  // namespace kestrova
