#pragma once
// kpack build: a manifest in, a setup.exe out (the stub, the package
// header, the compressed script and the compressed streams).
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "check_options.h"

namespace kestrova::kpack {

namespace fs = std::filesystem;

struct BuildOptions {
    fs::path manifest;
    std::string manifestName;  // as given, for messages
    fs::path output;
    std::string outputName;
    fs::path stub;
    std::string stubName;
    // The uninstaller shipped when the manifest's uninstall option is on;
    // empty: none is added (the library's callers that only test packing).
    fs::path uninstaller;
    std::string uninstallerName;
    CheckOptions checks;
    unsigned threads = 1;
    // --compression: deflate or not (lzss), over the manifest's choice.
    std::optional<bool> deflate;
    bool showProgress = false;
    // The largest setup.exe the setup can address: its stream positions are
    // signed 32-bit numbers. Tests lower it to reach the limit cheaply.
    uint64_t largestPackage = 0x7FFFFFFF;
};

struct BuildSummary {
    int files = 0;                      // counted file records
    uint64_t originalBytes = 0;         // of the pictures and files
    uint64_t streamBytes = 0;           // their compressed streams
    uint64_t packageBytes = 0;          // the whole setup.exe
    std::vector<std::string> warnings;  // whole report lines, for standard error
};

// Builds the setup.exe, making its folder when there is none. Throws
// KpackError for the first problem (of the manifest, a source, the stub,
// the uninstaller, or a package too large for the setup's 32-bit offsets;
// with options.checks.strict a warning too); the output then does not exist
// under its name (an earlier file of that name is left as it was).
BuildSummary buildPackage(const BuildOptions& options);

}  // namespace kestrova::kpack
