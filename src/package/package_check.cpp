#include "package/package_check.h"

#include "package/format.h"

namespace kestrova {

bool scriptStreamInside(int64_t fileSize, int32_t packageStart, int32_t scriptLength) {
    return scriptLength >= 0 &&
           static_cast<int64_t>(packageStart) + format::kPackageHeaderSize + scriptLength <=
               fileSize;
}

PackageProblem checkPackageScript(File& script, int64_t fileSize, int32_t recordBase,
                                  int32_t fileCount, int* line) {
    if (line) *line = 0;
    const int64_t scriptSize = script.size();
    if (scriptSize < 0 || !script.seek(0)) return PackageProblem::MissingDirectory;
    ScriptCheck check(scriptSize, fileSize, recordBase, fileCount);
    // The longest buffer any reader has: a line that does not fit it is too
    // long for every reader, and the check says so at its first piece.
    char buffer[format::kLongLineBuffer];
    int n;
    while ((n = script.readLine(buffer, sizeof buffer)) >= 0 && check.addLine(buffer, n)) {
    }
    const PackageProblem problem = check.finish();
    if (line) *line = check.problemLine();
    return problem;
}

bool packageIsSound(File& package, File& script, const SetupState& state) {
    if (!package || !script) return false;
    int64_t fileSize = package.size();
    // The record base is the package start plus the header's script length,
    // added as unsigned 32-bit numbers (package_header.cpp); subtracting the
    // same way gives that length back without a signed overflow.
    const int32_t scriptLength = static_cast<int32_t>(static_cast<uint32_t>(state.packageOffset) -
                                                      static_cast<uint32_t>(kPackageStart));
    // The dictionary is the first stream after the script.
    const int64_t dictionaryEnd =
        int64_t(state.packageOffset) + format::kPackageHeaderSize + state.dictionaryLength;
    return fileSize >= 0 && scriptStreamInside(fileSize, kPackageStart, scriptLength) &&
           (state.dictionaryLength == 0 || dictionaryEnd <= fileSize) &&
           checkPackageScript(script, fileSize, state.packageOffset, state.fileCount) ==
               PackageProblem::None;
}

}  // namespace kestrova
