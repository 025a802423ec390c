// install-runner SETUP.EXE [INSTALL-FOLDER]
//
// Installs the product of a setup program without its wizard: reads and
// checks the package as start-up does, unpacks the script, then runs the
// install run on a worker thread, printing every status text. Message
// boxes of the run appear as usual. Exit code 0 when the run completed.
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <cstdio>

#include "engine/install_run.h"
#include "engine/path_macros.h"
#include "engine/script_header.h"
#include "engine/uninstall_log.h"
#include "package/format.h"
#include "package/lzss_decoder.h"
#include "package/package_check.h"
#include "package/package_header.h"
#include "package/stream_checksums.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/worker_thread.h"
#include "startup/extract_package.h"
#include "state/bounded_text.h"
#include "wizard/message_box_port.h"

namespace k = kestrova;

namespace {

void printUtf8(const wchar_t* text) {
    char utf8[2048];
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr) > 0)
        std::printf("  %s\n", utf8);
    std::fflush(stdout);
}

// The run's user port here: every status text is printed; questions and
// errors are the setup's own message boxes, so that a test can answer them
// as a user would.
class PrintingPort : public k::MessageBoxPort {
  public:
    explicit PrintingPort(k::Platform& platform) : MessageBoxPort(platform, nullptr) {}
    void status(const char* text) override {
        printUtf8(k::win32::Wide(text, k::win32::Conversion::Lenient));
    }
};

struct Run {
    k::win32::Win32Platform platform;
    PrintingPort port{platform};
    k::SetupState state;
};

void runInstall(void* context) {
    auto* run = static_cast<Run*>(context);
    k::installRun(run->platform, run->port, run->state);
}

// Reads the package as start-up does; false, with a message printed, when
// it is not a setup program this stub could install.
bool readPackage(Run& run, const char* package) {
    k::SetupState& state = run.state;
    if (!k::makeTempNames(run.platform, state) || !k::copyText(state.packagePath, package))
        return false;
    state.packageOffset = k::kPackageStart;
    k::LzssDecoder decoder(run.platform, state, run.port);
    if (!k::readPackageHeader(run.platform, state, decoder)) {
        std::fprintf(stderr, "install-runner: cannot open the setup program\n");
        return false;
    }
    k::File setup = run.platform.openFile(state.packagePath, k::FileMode::Read);
    k::File script = run.platform.openFile(state.scriptPath, k::FileMode::Read);
    if (!k::packageIsSound(setup, script, state) ||
        k::checkStreamChecksums(setup, script, state) == k::ChecksumCheck::Damaged) {
        std::fprintf(stderr, "install-runner: the package is damaged\n");
        return false;
    }
    return k::readScriptHeader(run.platform, run.port, state, script);
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (count < 2 || count > 3) {
        std::fprintf(stderr, "usage: install-runner SETUP.EXE [INSTALL-FOLDER]\n");
        return 2;
    }
    static Run run;
    // Both arguments are converted before anything is unpacked, so that a
    // bad one leaves no temporary files behind.
    char package[k::kTextSize];
    char folderArgument[sizeof run.state.installDir];
    if (!k::win32::toGbk(args[1], -1, package, sizeof package) ||
        (count == 3 && !k::win32::toGbk(args[2], -1, folderArgument, sizeof folderArgument)))
        return 2;
    if (!readPackage(run, package)) {
        k::deleteTempFiles(run.platform, run.state);
        return 1;
    }
    if (count == 3) k::copyText(run.state.installDir, folderArgument);

    std::printf("Installing into ");
    printUtf8(k::win32::Wide(run.state.installDir, k::win32::Conversion::Lenient));

    DWORD start = GetTickCount();
    k::createFolderPath(run.platform, run.state.installDir);
    int code = 1;
    if (k::openUninstallLogs(run.platform, run.port, run.state)) {
        // The progress page's worker helper: this thread keeps handling
        // messages while the run works (its message boxes need them).
        k::win32::WorkerThread worker;
        if (worker.start(runInstall, &run)) worker.wait();
        bool completed = run.state.filesDone.load() == run.state.fileCount + 1;
        std::printf("%s: %d of %d files, %lu ms\n", completed ? "Installed" : "Stopped",
                    run.state.filesDone.load() - (completed ? 1 : 0), run.state.fileCount,
                    static_cast<unsigned long>(GetTickCount() - start));
        code = completed ? 0 : 1;
    }
    k::deleteTempFiles(run.platform, run.state);
    LocalFree(args);
    return code;
}
