#include "package/package_check.h"

#include <cstring>

#include "package/format.h"
#include "package/script_reader.h"

namespace kestrova {
namespace {

bool streamInside(const FileRecord& record, int64_t fileSize) {
    return record.offset >= 0 && record.length >= 0 &&
           static_cast<int64_t>(record.offset) + record.length <= fileSize;
}

}  // namespace

bool scriptStreamInside(int64_t fileSize, int32_t packageStart, int32_t scriptLength) {
    return scriptLength >= 0 &&
           static_cast<int64_t>(packageStart) + format::kPackageHeaderSize + scriptLength <=
               fileSize;
}

PackageProblem checkPackageScript(File& script, int64_t fileSize, int32_t recordBase,
                                  int32_t fileCount) {
    if (!script.seek(0) || !seekSection(script, format::kSectionDirectory))
        return PackageProblem::MissingDirectory;
    if (!seekSection(script, format::kSectionFile)) return PackageProblem::MissingFile;

    char line[format::kLineBuffer];
    FileRecord record;
    for (int i = 0; i < format::kPictureRecordCount; ++i) {
        int n = readRecordLine(script, line, sizeof line);
        if (n < 0 || std::strcmp(line, format::kSectionTotalSize) == 0)
            return PackageProblem::MissingPictures;
        parseFileRecord(line, n, recordBase, &record);
        if (!streamInside(record, fileSize)) return PackageProblem::StreamOutsideFile;
    }
    int32_t counted = 0;
    for (;;) {
        int n = readRecordLine(script, line, sizeof line);
        if (n < 0) return PackageProblem::MissingTotalSize;
        if (std::strcmp(line, format::kSectionTotalSize) == 0) break;
        if (isNoneAppLine(line, n)) continue;
        parseFileRecord(line, n, recordBase, &record);
        if (!streamInside(record, fileSize)) return PackageProblem::StreamOutsideFile;
        ++counted;
    }
    return counted == fileCount ? PackageProblem::None : PackageProblem::FileCountMismatch;
}

bool packageIsSound(File& package, File& script, const SetupState& state) {
    if (!package || !script) return false;
    int64_t fileSize = package.size();
    return fileSize >= 0 &&
           scriptStreamInside(fileSize, kPackageStart, state.packageOffset - kPackageStart) &&
           checkPackageScript(script, fileSize, state.packageOffset, state.fileCount) ==
               PackageProblem::None;
}

}  // namespace kestrova
