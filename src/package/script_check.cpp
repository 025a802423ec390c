#include "package/script_check.h"

#include <cstring>

#include "package/format.h"
#include "package/number_field.h"
#include "package/script_reader.h"

namespace kestrova {
namespace {

// Longest lines, CR LF included, that each reader takes whole.
constexpr int kLineLimit = format::kLineBuffer - 1;          // start-up, first pass, [Run]
constexpr int kLongLineLimit = format::kLongLineBuffer - 1;  // section search, second pass
constexpr int kOptionLimit = format::kOptionLineBuffer - 1;  // script lines 4 and 5
constexpr int kHeaderLines = 5;
constexpr int kTotalSizeLines = 3;  // the size, a line nobody reads, the licence length
constexpr int kRunLines = 2;        // the finish page's caption and command

}  // namespace

ScriptCheck::ScriptCheck(int64_t scriptSize, int64_t fileSize, int32_t recordBase,
                         int32_t fileCount)
    : scriptSize_(scriptSize),
      fileSize_(fileSize),
      recordBase_(recordBase),
      fileCount_(fileCount) {}

bool ScriptCheck::fail(PackageProblem problem) {
    problem_ = problem;
    problemLine_ = lineNumber_;
    done_ = true;
    return false;
}

int ScriptCheck::limitOfPhase() const {
    switch (phase_) {
        case Phase::Header:
            return lineNumber_ <= 3 ? kLineLimit : kOptionLimit;
        case Phase::Directory:
        case Phase::Pictures:
        case Phase::Records:
        case Phase::TotalSize:
        case Phase::Run:
            return kLineLimit;
        default:
            return kLongLineLimit;
    }
}

// A section line: the next section in order starts; a later one means the
// expected one is missing; any other stands where it does not belong.
bool ScriptCheck::sectionLine(int section) {
    int expected = -1;
    PackageProblem missing = PackageProblem::MissingSection;
    Phase next = phase_;
    switch (phase_) {
        case Phase::BeforeDirectory:
            expected = kSectionIndexDirectory;
            missing = PackageProblem::MissingDirectory;
            next = Phase::Directory;
            break;
        case Phase::Directory:
            expected = kSectionIndexFile;
            missing = PackageProblem::MissingFile;
            next = Phase::Pictures;
            break;
        case Phase::Pictures:
            expected = -1;
            missing = PackageProblem::MissingPictures;
            break;
        case Phase::Records:
            expected = kSectionIndexTotalSize;
            missing = PackageProblem::MissingTotalSize;
            next = Phase::TotalSize;
            if (section == expected && counted_ != fileCount_)
                return fail(PackageProblem::FileCountMismatch);
            break;
        case Phase::BeforeAutoReg:
            expected = kSectionIndexAutoReg;
            next = Phase::AutoReg;
            break;
        case Phase::AutoReg:
            expected = kSectionIndexClearFile;
            next = Phase::ClearFile;
            break;
        case Phase::ClearFile:
            expected = kSectionIndexMenu;
            next = Phase::Group;
            break;
        case Phase::Menu:
            expected = kSectionIndexRun;
            next = Phase::Run;
            break;
        default:  // the header, and the lines that a section needs
            if (phase_ == Phase::Header) return fail(PackageProblem::MisplacedSection);
            if (phase_ == Phase::AfterRun) return fail(PackageProblem::MisplacedSection);
            return fail(PackageProblem::MissingSection);
    }
    if (phase_ == Phase::Pictures)
        return fail(section == kSectionIndexTotalSize ? missing : PackageProblem::MisplacedSection);
    if (section == expected) {
        phase_ = next;
        phaseLines_ = 0;
        return true;
    }
    return fail(section > expected ? missing : PackageProblem::MisplacedSection);
}

bool ScriptCheck::recordLine(const char* line, int length) {
    if (phase_ == Phase::Records && isNoneAppLine(line, length)) return true;
    if (length != format::kRecordWidth + 2) return fail(PackageProblem::RecordWidth);
    // The readers see every '*' (the run-and-delete mark) as a space.
    char copy[format::kRecordWidth + 2];
    std::memcpy(copy, line, sizeof copy);
    for (char& c : copy)
        if (c == format::kRunAndDeleteMark) c = ' ';
    FileRecord record;
    parseFileRecord(copy, length, recordBase_, &record);
    // Streams follow the script stream, so an offset field below the
    // header's size (a negative one above all) would have the stream read
    // from the header and the script's own bytes. The field is the record's
    // position less the base, both taken as the unsigned numbers they were
    // added as.
    const int32_t offsetField = static_cast<int32_t>(static_cast<uint32_t>(record.offset) -
                                                     static_cast<uint32_t>(recordBase_));
    if (offsetField < format::kPackageHeaderSize || record.offset < 0 || record.length < 0 ||
        static_cast<int64_t>(record.offset) + record.length > fileSize_)
        return fail(PackageProblem::StreamOutsideFile);
    if (phase_ == Phase::Records) ++counted_;
    return true;
}

// The third line after "[TotalSize]" gives the licence length: the licence
// is the script's tail, so the lines that any reader takes end where it
// begins.
bool ScriptCheck::licenceLine(const char* line, int length) {
    char text[format::kLineBuffer];
    std::memcpy(text, line, length - 2);
    text[length - 2] = '\0';
    const int64_t licence = parseNumberField(text);
    if (licence < 0 || licence > scriptSize_) return fail(PackageProblem::LicenceLength);
    bodyEnd_ = scriptSize_ - licence;
    if (bodyEnd_ < position_) return fail(PackageProblem::LicenceLength);
    return true;
}

bool ScriptCheck::addLine(const char* line, int length) {
    if (done_) return false;
    ++lineNumber_;
    const int64_t start = position_;
    position_ += length;
    if (bodyEnd_ >= 0 && start >= bodyEnd_) {
        done_ = true;  // the licence text: whatever it holds
        --lineNumber_;
        return false;
    }
    if (bodyEnd_ >= 0 && position_ > bodyEnd_) return fail(PackageProblem::LicenceLength);
    const bool lineEnd = length >= 2 && line[length - 2] == '\r' && line[length - 1] == '\n';
    if (!lineEnd || length > limitOfPhase()) return fail(PackageProblem::LineTooLong);

    const int section = sectionIndex(line, length);
    if (section >= 0) return sectionLine(section);
    ++phaseLines_;
    switch (phase_) {
        case Phase::Header:
            if (phaseLines_ == kHeaderLines) {
                phase_ = Phase::BeforeDirectory;
                phaseLines_ = 0;
            }
            return true;
        case Phase::Pictures:
            if (!recordLine(line, length)) return false;
            if (phaseLines_ == format::kPictureRecordCount) {
                phase_ = Phase::Records;
                phaseLines_ = 0;
            }
            return true;
        case Phase::Records:
            return recordLine(line, length);
        case Phase::TotalSize:
            if (phaseLines_ < kTotalSizeLines) return true;
            phase_ = Phase::BeforeAutoReg;
            phaseLines_ = 0;
            return licenceLine(line, length);
        case Phase::Group:
            phase_ = Phase::Menu;
            phaseLines_ = 0;
            return true;
        case Phase::Menu:
            if (length != format::kMenuLineWidth + 2) return fail(PackageProblem::ShortcutWidth);
            return true;
        case Phase::Run:
            if (phaseLines_ == kRunLines) phase_ = Phase::AfterRun;
            return true;
        default:
            return true;
    }
}

PackageProblem ScriptCheck::finish() {
    if (problem_ != PackageProblem::None) return problem_;
    switch (phase_) {
        case Phase::Header:
        case Phase::BeforeDirectory:
            problem_ = PackageProblem::MissingDirectory;
            break;
        case Phase::Directory:
            problem_ = PackageProblem::MissingFile;
            break;
        case Phase::Pictures:
            problem_ = PackageProblem::MissingPictures;
            break;
        case Phase::Records:
            problem_ = PackageProblem::MissingTotalSize;
            break;
        case Phase::Menu:  // "[Run]" may be left out: no check box on the finish page
        case Phase::AfterRun:
            break;
        default:
            problem_ = PackageProblem::MissingSection;
    }
    return problem_;
}

}  // namespace kestrova
