// The install run on the fake platform from any script, not checked (the
// run must stand on its own), in a package around it. The first byte
// chooses the answers to its questions, failing programs and shortcuts,
// and when the user presses Cancel; the rest is the script's text.
#include "engine/install_run.h"

#include <filesystem>

#include "engine/uninstall_log.h"
#include "fuzz_support.h"
#include "package/format.h"
#include "package/lzss_decoder.h"
#include "package/package_header.h"
#include "recording_port.h"

using namespace kestrova;

namespace {

// The wizard's port on the fake that presses Cancel (sets cancelRequested)
// at the n-th status text.
class CancellingPort : public test::RecordingPort {
  public:
    CancellingPort(test::FakePlatform& platform, SetupState& state, int cancelAt)
        : RecordingPort(platform), state_(state), cancelAt_(cancelAt) {}
    void status(const char* text) override {
        if (cancelAt_-- == 0) state_.cancelRequested = true;
        RecordingPort::status(text);
    }

  private:
    SetupState& state_;
    int cancelAt_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    test::FakePlatform platform;
    SetupState state;
    fuzz::applyControl(platform, data[0]);
    CancellingPort port(platform, state, data[0] & 0x20 ? data[0] >> 6 : -1);
    const std::string script(reinterpret_cast<const char*>(data) + 1, size - 1);
    platform.writeFile(platform.module, fuzz::setupFromScript(script));

    std::snprintf(state.packagePath, sizeof state.packagePath, "%s", platform.module.c_str());
    std::snprintf(state.scriptPath, sizeof state.scriptPath, "C:\\TEMP\\~temp.ini");
    std::snprintf(state.productName, sizeof state.productName, "Fuzz");
    std::snprintf(state.installDir, sizeof state.installDir, "C:\\App");
    state.uninstallOption[0] = '1';
    state.packageOffset = kPackageStart;
    {
        LzssDecoder decoder(platform, state, port);
        readPackageHeader(platform, state, decoder);
    }
    if (platform.readFile(state.scriptPath) != script) __builtin_trap();
    platform.makeFolders(state.installDir);
    if (!openUninstallLogs(platform, port, state)) __builtin_trap();
    installRun(platform, port, state);
    if (state.dirLog || state.fileLog) __builtin_trap();  // every way out closes them
    // Nothing lands beside the fake's folder, whatever ".." the paths hold.
    for (const char* name : {"/../kestrova-escape-dir", "/../kestrova-escape.txt"})
        if (platform.exists("C:\\") && std::filesystem::exists(platform.root() + name))
            __builtin_trap();
    return 0;
}
