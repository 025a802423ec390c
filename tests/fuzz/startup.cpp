// The start-up package path: header, script, the package check, the script
// header and the pictures, from any package. Either start-up succeeds, or
// it shows the package read error once and leaves no temporary file. The
// one question a start-up that succeeds may ask is the decoder's about a
// picture it could not make (a damaged deflate stream in a package without
// checksums), naming the picture.
#include "fuzz_support.h"
#include "package/lzss_decoder.h"
#include "resources/texts.h"
#include "startup/extract_package.h"

using namespace kestrova;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    test::FakePlatform platform;
    SetupState state;
    platform.writeFile(platform.module, fuzz::setupFile(data, size));
    LzssDecoder decoder(platform, state, platform.user());
    if (extractPackage(platform, platform.user(nullptr), state, decoder)) {
        if (!platform.exists(state.scriptPath)) __builtin_trap();
        for (const test::MessageBoxCall& box : platform.messageBoxes) {
            bool picture = false;
            for (const char* path :
                 {state.welcomePicturePath, state.softPicturePath, state.titlePicturePath})
                picture = picture || box.text == texts::kCreateFailedBefore + std::string(path) +
                                                     texts::kCreateFailedAfter;
            if (!picture) __builtin_trap();
        }
        return 0;
    }
    if (platform.messageBoxes.size() != 1 ||
        platform.messageBoxes[0].text != texts::kPackageReadError ||
        platform.exists(state.scriptPath) || platform.exists(state.licencePath) ||
        platform.exists(state.welcomePicturePath) || platform.exists(state.titlePicturePath))
        __builtin_trap();
    return 0;
}
