// kpack's manifest reader and planner on any manifest text: a KpackError
// or a plan, never a crash, an abort or undefined behaviour in the TOML
// parser (built here with its assertions on).
#include "manifest.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "error.h"
#include "package_plan.h"

using namespace kestrova;
namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // A product folder with the sources the seed manifests name.
    static const fs::path folder = [] {
        fs::path p =
            fs::temp_directory_path() / ("kestrova-fuzz-manifest-" + std::to_string(getpid()));
        fs::create_directories(p / "files");
        for (const char* name : {"welcome.bmp", "title.bmp", "splash.bmp"})
            std::ofstream(p / name, std::ios::binary) << "BM picture";
        std::ofstream(p / "a.txt", std::ios::binary) << "abababab";
        std::ofstream(p / "licence.htm", std::ios::binary) << "<html>licence</html>";
        std::ofstream(p / "files" / "b.txt", std::ios::binary) << "b";
        std::ofstream(p / "setup.reg", std::ios::binary)
            << "[HKEY_CURRENT_USER\\Software\\K]\r\n\"A\"=\"1\"\r\n";
        return p;
    }();
    try {
        const kpack::Manifest manifest = kpack::parseManifest(
            std::string(reinterpret_cast<const char*>(data), size), "product.toml", folder);
        kpack::planPackage(manifest);
    } catch (const kpack::KpackError&) {
    }
    return 0;
}
