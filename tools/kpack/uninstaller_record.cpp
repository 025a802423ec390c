#include "uninstaller_record.h"

#include <system_error>

#include "engine/uninstaller_registration.h"
#include "error.h"
#include "file_io.h"

namespace kestrova::kpack {

std::string uninstallerTarget() {
    return std::string("[Windows Directory]\\") + kUninstallerFileName;
}

void addUninstaller(const Manifest& manifest, const fs::path& program, const std::string& label,
                    PackagePlan* plan) {
    if (!manifest.uninstall) return;
    const std::string target = uninstallerTarget();
    for (const ScriptRecord& record : plan->script.records)
        if (!record.noneApp && record.target == target) return;

    const std::string why =
        "; the manifest's uninstall option needs it (build it with the stub, put it beside "
        "kpack or name it with --uninstaller, or set product.uninstall = false)";
    std::error_code ec;
    if (!fs::is_regular_file(program, ec))
        throw KpackError(label, 0, "the uninstaller does not exist" + why);
    const uint64_t size = fs::file_size(program, ec);
    InputFile file;
    std::string error;
    if (ec || !file.open(program, &error))
        throw KpackError(label, 0, "cannot read the uninstaller: " + (ec ? ec.message() : error));
    char signature[2] = {};
    if (file.readAt(0, signature, sizeof signature) != sizeof signature || signature[0] != 'M' ||
        signature[1] != 'Z')
        throw KpackError(label, 0, "the uninstaller is not a Windows program");

    ScriptRecord record;
    record.target = target;
    record.kind = format::kKindCopy;
    plan->script.records.push_back(record);
    plan->streams.push_back({program, size, label, 0});
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
