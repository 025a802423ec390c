#include "startup/silent_install.h"

#include <cstring>

#include "engine/install_run.h"
#include "engine/path_macros.h"
#include "engine/uninstall_log.h"
#include "package/lzss_decoder.h"
#include "resources/texts.h"
#include "startup/extract_package.h"
#include "state/bounded_text.h"

namespace kestrova {

int silentAnswer(const char* text, const char* caption, uint32_t style, SilentReport& report) {
    (void)caption;
    if ((style & 0xFu) == kMbYesNo) {
        // Two questions exist during an install: the quit question, which a
        // run without a user never wants, and whether to stop after a file
        // could not be created, where going on would install a product with
        // a file missing.
        if (std::strcmp(text, texts::kQuitQuestion) == 0) return kIdNo;
        report.fileFailed = true;
        return kIdYes;
    }
    if (std::strcmp(text, texts::kPackageReadError) == 0 ||
        std::strcmp(text, texts::kSetupFileReadError) == 0)
        report.packageReadError = true;
    else
        report.otherError = true;
    return kIdOk;
}

int runSilentInstall(Platform& platform, SetupState& state, const SilentReport& report,
                     const CommandLine& commandLine) {
    if (commandLine.unknownArgument || (commandLine.hasFolder && !commandLine.folderAccepted))
        return kSilentPathRefused;

    LzssDecoder decoder(platform, state);
    if (!extractPackage(platform, state, decoder, nullptr)) return kSilentDamagedPackage;

    // The script's default meets the folder page's rule too: one without a
    // drive would land below whatever folder the caller runs in (System32
    // for a deployment agent), and "C:\" would fill the drive's root.
    char folder[kSystemPathSize];
    int code = kSilentInstalled;
    if (commandLine.hasFolder)
        copyText(folder, commandLine.folder);
    else if (!acceptInstallFolder(state.installDir, folder, sizeof folder))
        code = kSilentPathRefused;

    if (code == kSilentInstalled) {
        // As the folder page does when it is left: the folder is made and
        // becomes the current folder, which the programs the run starts
        // inherit. Then, as the progress page does, the logs and the run.
        copyText(state.installDir, folder);
        createFolderPath(platform, state.installDir);
        if (!platform.changeFolder(state.installDir))
            code = kSilentFolderNotMade;
        else if (!openUninstallLogs(platform, state, nullptr))
            code = kSilentFileFailed;
        else
            installRun(platform, state, nullptr);
    }
    deleteTempFiles(platform, state);
    if (code != kSilentInstalled) return code;

    if (report.packageReadError) return kSilentDamagedPackage;
    if (report.fileFailed || state.installAbandoned) return kSilentFileFailed;
    if (state.filesDone.load() != state.fileCount + 1) return kSilentStopped;
    return report.otherError ? kSilentStepFailed : kSilentInstalled;
}

}  // namespace kestrova
