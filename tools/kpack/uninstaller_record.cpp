#include "uninstaller_record.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "engine/uninstaller_registration.h"
#include "error.h"
#include "file_io.h"
#include "setup_limits.h"

namespace kestrova::kpack {
namespace {

// The identity in the uninstaller's manifest resource
// (src/uninstaller/program/uninstaller.manifest), stored in the program as
// written: what tells it from any other Windows program.
constexpr char kUninstallerIdentity[] = "name=\"Kestrova.Uninstall\"";

uint32_t le32(const std::vector<uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

}  // namespace

std::string uninstallerProblem(const std::vector<uint8_t>& bytes) {
    const std::string what = std::string(", not ") + kUninstallerFileName;
    if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z')
        return "is not a Windows program";
    // The "PE" header, its file header's characteristics 22 bytes on.
    const uint32_t pe = le32(bytes, 0x3C);
    if (pe > bytes.size() - 24 || std::memcmp(&bytes[pe], "PE\0\0", 4) != 0)
        return "is an MS-DOS program" + what;
    constexpr unsigned kImageFileDll = 0x2000;
    if ((bytes[pe + 22] | bytes[pe + 23] << 8) & kImageFileDll) return "is a DLL" + what;
    const char* identity = kUninstallerIdentity;
    if (std::search(bytes.begin(), bytes.end(), identity, identity + std::strlen(identity)) ==
        bytes.end())
        return "is a Windows program" + what + " (it lacks the uninstaller's manifest)";
    return "";
}

std::string uninstallerTarget() {
    return std::string("[Windows Directory]\\") + kUninstallerFileName;
}

void addUninstaller(const Manifest& manifest, const fs::path& program, const std::string& label,
                    PackagePlan* plan) {
    if (!manifest.uninstall) return;
    const std::string target = uninstallerTarget();
    for (const ScriptRecord& record : plan->script.records)
        if (!record.noneApp && sameFileKey(record.target) == sameFileKey(target)) return;

    const std::string why =
        "; the manifest's uninstall option needs it (build it with the stub, put it beside "
        "kpack or name it with --uninstaller, or set product.uninstall = false)";
    std::error_code ec;
    if (!fs::is_regular_file(program, ec))
        throw KpackError(label, 0, "the uninstaller does not exist" + why);
    std::vector<uint8_t> bytes;
    std::string error;
    if (!readWholeFile(program, &bytes, &error))
        throw KpackError(label, 0, "cannot read the uninstaller: " + error);
    const uint64_t size = bytes.size();
    if (const std::string problem = uninstallerProblem(bytes); !problem.empty())
        throw KpackError(label, 0,
                         "the uninstaller " + problem +
                             ": name the Kestrova-UnInstall.exe built with the stub (preset win) "
                             "with --uninstaller, or put it beside kpack");

    ScriptRecord record;
    record.target = target;
    record.kind = format::kKindCopy;
    plan->script.records.push_back(record);
    plan->streams.push_back({program, size, label, 0, std::nullopt});
    if (!manifest.totalSize) {
        // The total shown on the folder page counts every installed file.
        if (plan->script.totalSize + size > UINT32_MAX)
            throw KpackError(manifest.file, 0,
                             "the installed files and the uninstaller add up to more than the "
                             "4294967295 bytes that the setup's total size can hold");
        plan->script.totalSize += size;
    }
}

}  // namespace kestrova::kpack
