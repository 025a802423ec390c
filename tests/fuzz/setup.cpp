// The whole setup on the fake platform, from a package (around the
// fuzzer's script text) to installed files:
// start-up with its package check, then the logs and the install run, the
// user answering No to every question. A package that start-up accepts must
// install to the end: the run's final count reaches the header's file count
// plus one, which is what moves the wizard on to its last page. A package
// it refuses leaves nothing behind.
#include "engine/install_run.h"
#include "engine/path_macros.h"
#include "engine/uninstall_log.h"
#include "fuzz_support.h"
#include "package/lzss_decoder.h"
#include "startup/extract_package.h"

using namespace kestrova;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    test::FakePlatform platform;
    SetupState state;
    platform.writeFile(platform.module, fuzz::setupFromScript(std::string(
                                            reinterpret_cast<const char*>(data), size)));
    {
        LzssDecoder decoder(platform, state, platform.user());
        if (!extractPackage(platform, platform.user(nullptr), state, decoder)) {
            if (platform.exists("C:\\Program Files")) __builtin_trap();
            return 0;
        }
    }
    // The wizard's folder page would refuse a folder it cannot use; the
    // run is only started for one that the logs can be made in.
    createFolderPath(platform, state.installDir);
    if (!openUninstallLogs(platform, platform.user(nullptr), state)) return 0;
    installRun(platform, platform.user(nullptr), state);
    if (!state.setupAborted && state.filesDone != state.fileCount + 1) __builtin_trap();
    return 0;
}
