// kpack list, verify and extract on any setup.exe (a stand-in stub and the
// fuzzer's package): a KpackError or a result, and extract writes nothing
// outside its output folder.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "commands.h"
#include "error.h"
#include "fuzz_support.h"

using namespace kestrova;
namespace fs = std::filesystem;

namespace {

// Everything below folder except the paths under keep and the file itself.
bool onlyInside(const fs::path& folder, const fs::path& keep, const fs::path& input) {
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const fs::path p = entry.path();
        if (p == input || p == keep || keep.string().rfind(p.string() + "/", 0) == 0) continue;
        const auto rel = p.lexically_relative(keep);
        if (rel.empty() || *rel.begin() == "..") return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const fs::path work = [] {
        fs::path p =
            fs::temp_directory_path() / ("kestrova-fuzz-kpack-" + std::to_string(getpid()));
        fs::create_directories(p);
        return p;
    }();
    // The output lies deep inside the work folder, so that a path that
    // climbs out of it still lands where the check below sees it.
    const fs::path input = work / "setup.exe";
    const fs::path output = work / "1" / "2" / "3" / "4" / "out";
    fs::remove_all(output);
    {
        std::ofstream f(input, std::ios::binary);
        const std::string file = fuzz::setupFile(data, size);
        f.write(file.data(), static_cast<std::streamsize>(file.size()));
    }
    std::ostringstream sink;
    try {
        kpack::listPackage(input, "setup.exe", sink);
    } catch (const kpack::KpackError&) {
    }
    try {
        kpack::verifyPackage(input, "setup.exe", sink);
    } catch (const kpack::KpackError&) {
    }
    try {
        kpack::extractPackage(input, "setup.exe", output);
    } catch (const kpack::KpackError&) {
    }
    if (!onlyInside(work, output, input)) __builtin_trap();
    return 0;
}
