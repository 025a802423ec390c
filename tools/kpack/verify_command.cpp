#include <map>
#include <ostream>

#include "commands.h"
#include "error.h"
#include "gbk_codec.h"
#include "package/format.h"
#include "package_reader.h"
#include "picture_convert.h"
#include "product_details.h"
#include "registry_rules.h"
#include "setup_limits.h"
#include "stream_check.h"
#include "uninstaller_record.h"

namespace kestrova::kpack {

std::vector<std::string> verifyPackage(const fs::path& path, const std::string& name,
                                       std::ostream& out, const CheckOptions& options) {
    PackageReader package(path, name);
    const ParsedScript& script = package.parsed();
    auto fail = [&](const std::string& problem) { throw KpackError(name, 0, problem); };
    std::vector<std::string> warnings;
    auto warn = [&](const std::string& problem) {
        if (options.strict) fail(problem + " (--strict makes this warning an error)");
        warnings.push_back(KpackError(name, 0, "warning: " + problem).report());
    };

    const int64_t counted = script.countedRecords();
    if (counted != package.headerFileCount())
        fail("the header's file count is " + std::to_string(package.headerFileCount()) +
             " but the script has " + std::to_string(counted) + " file records");
    if (counted == 0) fail("the package has no file record; the setup divides by the file count");

    int streams = 0;
    auto checkStream = [&](const ParsedRecord& r) -> std::vector<uint8_t> {
        const std::vector<uint8_t> packed = package.compressedStream(r);
        uint64_t size = 0;
        const std::string problem =
            kpack::checkStream(r.codec, packed.data(), packed.size(), &size, &package.dictionary());
        if (!problem.empty()) fail(package.describe(r) + ": " + problem);
        ++streams;
        return packed;
    };

    static const char* const pictureNames[] = {"welcome", "splash", "title"};
    std::string pictureSizes;
    for (std::size_t i = 0; i < script.pictures.size(); ++i) {
        const ParsedRecord& picture = script.pictures[i];
        const std::vector<uint8_t> packed = checkStream(picture);
        const bool optional = i == 1;  // the splash picture
        if (picture.length == 0 && optional) continue;
        // Read as the setup reads it: a picture its reader refuses would
        // leave an empty page, band or splash window.
        const std::vector<uint8_t> bytes =
            decodeStreamBytes(picture.codec, packed.data(), packed.size(), &package.dictionary());
        int width = 0, height = 0;
        if (!setupDrawsPicture(bytes, &width, &height))
            fail(package.describe(picture) + " is not a bitmap the setup can draw");
        const std::string place = picturePlaceProblem(static_cast<int>(i), width, height);
        if (!place.empty()) warn(package.describe(picture) + " " + place);
        if (i < 3)
            pictureSizes += std::string(pictureSizes.empty() ? "" : ", ") + pictureNames[i] + " " +
                            std::to_string(width) + " x " + std::to_string(height);
    }
    std::map<std::string, int> targets;  // sameFileKey -> the script line of its record
    for (const ParsedRecord& r : script.records) {
        if (r.noneApp) continue;
        const std::vector<uint8_t> packed = checkStream(r);
        if (const auto [it, added] = targets.emplace(sameFileKey(r.target), r.line); !added)
            fail(package.describe(r) + " has the target of the record at script line " +
                 std::to_string(it->second) + "; the second file would overwrite the first");
        const PathLength length = targetPathLength(r.target, script.installDir);
        if (!length.problem.empty()) {
            const std::string problem = package.describe(r) + ": the target " + length.problem;
            if (length.installDir) {
                warn(problem);
            } else {
                fail(problem);
            }
        }
        if (r.kind == format::kKindRegistryData && !r.runAndDelete) {
            const std::vector<uint8_t> bytes =
                decodeStreamBytes(r.codec, packed.data(), packed.size(), &package.dictionary());
            int line = 0;
            const std::string problem = registryDataProblem(std::string(bytes.begin(), bytes.end()),
                                                            &line, options.allowRegistryEscapes);
            if (!problem.empty())
                fail(package.describe(r) + ": registry data line " + std::to_string(line) + ": " +
                     problem);
        }
        if (sameFileKey(r.target) == sameFileKey(uninstallerTarget())) {
            const std::string problem = uninstallerProblem(
                decodeStreamBytes(r.codec, packed.data(), packed.size(), &package.dictionary()));
            if (!problem.empty()) fail(package.describe(r) + " " + problem);
        }
    }
    // The icon of the uninstall entry is read from an installed file.
    if (!script.product.icon.empty()) {
        std::vector<ScriptRecord> records;
        for (const ParsedRecord& r : script.records) {
            ScriptRecord record;
            record.noneApp = r.noneApp;
            record.target = r.target;
            record.kind = r.kind;
            record.runAndDelete = r.runAndDelete;
            records.push_back(record);
        }
        const std::string problem =
            installedFileProblem(script.product.icon, records, script.clearFile);
        if (!problem.empty()) fail("the icon " + displayGbk(script.product.icon) + " " + problem);
    }
    if (script.hasProduct)
        out << name << ": product " << displayGbk(script.productName) << " "
            << (script.product.version.empty() ? "(no version)"
                                               : displayGbk(script.product.version))
            << (script.product.publisher.empty() ? "" : ", " + displayGbk(script.product.publisher))
            << "\n";
    out << name << ": OK: " << counted << " file records, " << streams << " streams"
        << (package.checksummed() ? " (checksums match)" : " (no checksums)") << ", "
        << package.fileSize() << " bytes\n";
    out << name << ": pictures " << pictureSizes << ": " << pictureDensities() << "\n";
    return warnings;
}

}  // namespace kestrova::kpack
