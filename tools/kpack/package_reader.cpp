#include "package_reader.h"

#include <algorithm>
#include <limits>

#include "error.h"
#include "gbk_codec.h"
#include "package/format.h"
#include "package/lzss_decoder.h"
#include "package/number_field.h"
#include "package/script_check.h"
#include "state/setup_state.h"
#include "stream_check.h"

namespace kestrova::kpack {
namespace {

// A header field holds decimal digits padded with spaces; anything else is
// damage, even where atol's rules would still give a number.
bool isCleanNumberField(const char* field) {
    int i = 0;
    while (i < format::kNumberFieldWidth && field[i] >= '0' && field[i] <= '9') ++i;
    if (i == 0) return false;
    while (i < format::kNumberFieldWidth && (field[i] == ' ' || field[i] == '\0')) ++i;
    return i == format::kNumberFieldWidth;
}

const char* problemText(PackageProblem problem) {
    switch (problem) {
        case PackageProblem::None:
            return "";
        case PackageProblem::ScriptOutsideFile:
            return "the script stream lies outside the file";
        case PackageProblem::MissingDirectory:
            return "no [Directory] line";
        case PackageProblem::MissingFile:
            return "no [File] line after [Directory]";
        case PackageProblem::MissingPictures:
            return "fewer than three picture records";
        case PackageProblem::MissingTotalSize:
            return "no [TotalSize] line after the records";
        case PackageProblem::StreamOutsideFile:
            return "a stream lies outside the file";
        case PackageProblem::FileCountMismatch:
            return "the header's file count differs from the records";
        case PackageProblem::MissingSection:
            return "a section or a line it needs is missing";
        case PackageProblem::MisplacedSection:
            return "a section line stands out of its place";
        case PackageProblem::LineTooLong:
            return "a line is longer than its reader takes, or lacks CR LF";
        case PackageProblem::RecordWidth:
            return "a record line is not 309 bytes and CR LF";
        case PackageProblem::ShortcutWidth:
            return "a shortcut line is not 402 bytes and CR LF";
        case PackageProblem::LicenceLength:
            return "the licence length does not fit the script";
    }
    return "damaged";
}

}  // namespace

PackageReader::PackageReader(const fs::path& path, const std::string& displayName)
    : name_(displayName) {
    std::string error;
    if (!file_.open(path, &error)) fail("cannot open: " + error);
    const uint64_t headerEnd = uint64_t(kPackageStart) + format::kPackageHeaderSize;
    if (file_.size() < headerEnd)
        fail("is " + std::to_string(file_.size()) + " bytes: no package after the " +
             std::to_string(kPackageStart) + "-byte stub");

    char header[format::kPackageHeaderSize];
    if (file_.readAt(kPackageStart, header, sizeof header) != sizeof header)
        fail("cannot read the package header");
    if (!isCleanNumberField(header + format::kHeaderScriptLength) ||
        !isCleanNumberField(header + format::kHeaderFileCount))
        fail("the package header is damaged (its fields are not numbers)");
    scriptLength_ = parseNumberField(header + format::kHeaderScriptLength);
    fileCount_ = parseNumberField(header + format::kHeaderFileCount);
    if (scriptLength_ <= 0 || fileCount_ < 0)
        fail("the package header is damaged (script length " + std::to_string(scriptLength_) +
             ", file count " + std::to_string(fileCount_) + ")");
    if (headerEnd + uint64_t(scriptLength_) > file_.size())
        fail("the script stream (" + std::to_string(scriptLength_) +
             " bytes) runs past the end of the file: the file is truncated");
    recordBase_ = int64_t(kPackageStart) + scriptLength_;

    std::vector<uint8_t> packed(static_cast<std::size_t>(scriptLength_));
    if (file_.readAt(headerEnd, packed.data(), packed.size()) != packed.size())
        fail("cannot read the script stream");
    uint64_t decodedSize = 0;
    const std::string streamProblem = checkLzssStream(packed.data(), packed.size(), &decodedSize);
    if (!streamProblem.empty()) fail("the script stream: " + streamProblem);
    const std::vector<uint8_t> decoded = lzssDecode(packed.data(), packed.size());
    script_.assign(decoded.begin(), decoded.end());

    const std::string problem = parseScript(script_, &parsed_);
    if (!problem.empty()) fail("the setup script: " + problem);
    for (std::size_t i = 0; i < parsed_.pictures.size(); ++i)
        checkStream(parsed_.pictures[i], describe(parsed_.pictures[i]));
    for (const ParsedRecord& r : parsed_.records)
        if (!r.noneApp) checkStream(r, describe(r));
    // The setup's own check, through the same code: whatever the setup
    // would refuse at start-up, kpack refuses too. (The header's count is
    // verify's to report, in its own words.)
    ScriptCheck check(static_cast<int64_t>(script_.size()), static_cast<int64_t>(file_.size()),
                      static_cast<int32_t>(static_cast<uint32_t>(kPackageStart) +
                                           static_cast<uint32_t>(scriptLength_)),
                      static_cast<int32_t>(parsed_.countedRecords()));
    for (std::size_t at = 0; at < script_.size();) {
        const std::size_t lf = script_.find('\n', at);
        const std::size_t end = lf == std::string::npos ? script_.size() : lf + 1;
        if (!check.addLine(script_.data() + at,
                           static_cast<int>(std::min<std::size_t>(end - at, 1 << 20))))
            break;
        at = end;
    }
    if (const PackageProblem setupProblem = check.finish(); setupProblem != PackageProblem::None)
        fail("the setup would refuse this package: script line " +
             std::to_string(check.problemLine()) + ": " + problemText(setupProblem));
}

void PackageReader::fail(const std::string& problem) const {
    throw KpackError(name_, 0, problem);
}

void PackageReader::checkStream(const ParsedRecord& r, const std::string& what) const {
    if (r.length == 0) return;
    // The stub adds the offset to the record base in 32 bits and reads the
    // stream from there; it must not overlap the header or the script.
    const int64_t start = recordBase_ + r.offset;
    const int64_t end = start + r.length;
    if (r.offset < format::kPackageHeaderSize || start > std::numeric_limits<int32_t>::max() ||
        end > static_cast<int64_t>(file_.size()))
        fail(what + ": its stream (offset " + std::to_string(r.offset) + ", length " +
             std::to_string(r.length) + ") lies outside the file's streams");
}

std::string PackageReader::describe(const ParsedRecord& r) const {
    for (std::size_t i = 0; i < parsed_.pictures.size(); ++i) {
        static const char* names[] = {"the welcome picture", "the splash picture",
                                      "the title picture"};
        if (&parsed_.pictures[i] == &r) return names[i];
    }
    return "the record at script line " + std::to_string(r.line) + " (" + displayGbk(r.target) +
           ")";
}

std::vector<uint8_t> PackageReader::compressedStream(const ParsedRecord& r) {
    std::vector<uint8_t> bytes(static_cast<std::size_t>(r.length));
    if (r.length == 0) return bytes;
    if (file_.readAt(static_cast<uint64_t>(recordBase_ + r.offset), bytes.data(), bytes.size()) !=
        bytes.size())
        fail("cannot read the stream of " + describe(r));
    return bytes;
}

std::vector<uint8_t> PackageReader::decodedStream(const ParsedRecord& r) {
    const std::vector<uint8_t> packed = compressedStream(r);
    return lzssDecode(packed.data(), packed.size());
}

}  // namespace kestrova::kpack
