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

// Reads the next record line as the install run does ('*' marks read as
// spaces). -1 at the end of the script.
int readRecordLine(File& script, char* line, int capacity) {
    int n = readScriptLine(script, line, capacity);
    for (int i = 0; i < n; ++i)
        if (line[i] == format::kRunAndDeleteMark) line[i] = ' ';
    return n;
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
        if (n >= format::kNoneAppMarkerLength &&
            std::memcmp(line, format::kNoneAppMarker, format::kNoneAppMarkerLength) == 0)
            continue;
        parseFileRecord(line, n, recordBase, &record);
        if (!streamInside(record, fileSize)) return PackageProblem::StreamOutsideFile;
        ++counted;
    }
    return counted == fileCount ? PackageProblem::None : PackageProblem::FileCountMismatch;
}

}  // namespace kestrova
