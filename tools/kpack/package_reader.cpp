#include "package_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "error.h"
#include "gbk_codec.h"
#include "package/crc32.h"
#include "package/format.h"
#include "package/lzss_decoder.h"
#include "package/number_field.h"
#include "package/package_header.h"
#include "package/script_check.h"
#include "package/stream_checksums.h"
#include "script_rules.h"
#include "stream_check.h"

namespace kestrova::kpack {
namespace {

// A header field holds decimal digits padded with spaces; anything else is
// damage, even where atol's rules would still give a number.
bool isCleanNumberField(const char* field, int width = format::kNumberFieldWidth) {
    int i = 0;
    while (i < width && field[i] >= '0' && field[i] <= '9') ++i;
    if (i == 0) return false;
    while (i < width && (field[i] == ' ' || field[i] == '\0')) ++i;
    return i == width;
}

std::string hex(uint32_t value) {
    char digits[format::kChecksumDigits];
    formatChecksum(value, digits);
    return std::string(digits, sizeof digits);
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
    uint32_t scriptChecksum = 0;
    checksummed_ = headerScriptChecksum(header + format::kHeaderScriptLength, &scriptChecksum);
    const int32_t dictionaryLength = headerDictionaryLength(header + format::kHeaderFileCount);
    if (!isCleanNumberField(
            header + format::kHeaderScriptLength,
            checksummed_ ? format::kHeaderChecksumNul : format::kNumberFieldWidth) ||
        !isCleanNumberField(header + format::kHeaderFileCount, dictionaryLength > 0
                                                                   ? format::kHeaderDictionaryNul
                                                                   : format::kNumberFieldWidth))
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
    if (checksummed_ && crc32(packed.data(), packed.size()) != scriptChecksum)
        fail("the script stream is damaged: its CRC-32 is " +
             hex(crc32(packed.data(), packed.size())) + ", the header says " + hex(scriptChecksum));
    uint64_t decodedSize = 0;
    const std::string streamProblem = checkLzssStream(packed.data(), packed.size(), &decodedSize);
    if (!streamProblem.empty()) fail("the script stream: " + streamProblem);
    const std::vector<uint8_t> decoded = lzssDecode(packed.data(), packed.size());
    script_.assign(decoded.begin(), decoded.end());

    const std::string problem = parseScript(script_, &parsed_);
    if (!problem.empty()) fail("the setup script: " + problem);
    // Without the header's checksum the setup ignores the section, and so
    // does this reader; with it, the section must be there.
    if (checksummed_ && !parsed_.hasChecksums)
        fail("the header carries a checksum but the script has no " +
             withoutLineEnd(format::kSectionChecksums) + " section");
    readDictionary(dictionaryLength);
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

// The dictionary, the first stream after the script: inside the file and,
// in a package with checksums, matching the last checksum line.
void PackageReader::readDictionary(int32_t length) {
    if (length == 0) {
        if (parsed_.hasDictionaryChecksum)
            fail(withoutLineEnd(format::kSectionChecksums) +
                 " has one checksum more than streams, and the package has no dictionary");
        return;
    }
    const uint64_t start = static_cast<uint64_t>(recordBase_) + format::kPackageHeaderSize;
    dictionary_.resize(static_cast<std::size_t>(length));
    if (start + dictionary_.size() > file_.size() ||
        file_.readAt(start, dictionary_.data(), dictionary_.size()) != dictionary_.size())
        fail("the deflate dictionary (" + std::to_string(length) +
             " bytes) runs past the end of the file: the file is truncated");
    if (!checksummed_) return;
    if (!parsed_.hasDictionaryChecksum)
        fail("the header names a deflate dictionary but " +
             withoutLineEnd(format::kSectionChecksums) + " has no checksum for it");
    const uint32_t actual = crc32(dictionary_.data(), dictionary_.size());
    if (actual != parsed_.dictionaryChecksum)
        fail("the deflate dictionary is damaged: its CRC-32 is " + hex(actual) +
             ", the package says " + hex(parsed_.dictionaryChecksum));
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
    if (checksummed_ && r.hasChecksum) {
        const uint32_t actual = crc32(bytes.data(), bytes.size());
        if (actual != r.checksum)
            fail(describe(r) + ": its stream is damaged: its CRC-32 is " + hex(actual) +
                 ", the package says " + hex(r.checksum));
    }
    return bytes;
}

std::vector<uint8_t> PackageReader::decodedStream(const ParsedRecord& r) {
    const std::vector<uint8_t> packed = compressedStream(r);
    uint64_t size = 0;
    const std::string problem =
        kpack::checkStream(r.codec, packed.data(), packed.size(), &size, &dictionary_);
    if (!problem.empty()) fail(describe(r) + ": " + problem);
    return decodeStreamBytes(r.codec, packed.data(), packed.size(), &dictionary_);
}

std::string PackageReader::stubBytes() {
    std::string stub(static_cast<std::size_t>(kPackageStart), '\0');
    if (file_.readAt(0, &stub[0], stub.size()) != stub.size()) fail("cannot read the stub");
    return stub;
}

bool PackageReader::signature(uint64_t* offset, uint32_t* size) {
    // The PE header's place is at 0x3C; in its optional header (PE32 0x10B
    // or PE32+ 0x20B), the fifth data directory is the certificate table,
    // the one directory that holds a file position rather than an address.
    auto le = [](const uint8_t* p, int n) {
        uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = v << 8 | p[i];
        return v;
    };
    uint8_t b[4];
    if (file_.readAt(0x3C, b, 4) != 4) return false;
    const uint64_t pe = le(b, 4);
    uint8_t h[24 + 2];
    if (pe > uint64_t(kPackageStart) || file_.readAt(pe, h, sizeof h) != sizeof h ||
        std::memcmp(h, "PE\0\0", 4) != 0)
        return false;
    const uint32_t magic = le(h + 24, 2);
    const uint64_t directories = pe + 24 + (magic == 0x20B ? 112 : magic == 0x10B ? 96 : 0);
    if (directories == pe + 24) return false;
    uint8_t entry[8];
    if (file_.readAt(directories + 4 * 8, entry, 8) != 8) return false;
    *offset = le(entry, 4);
    *size = le(entry + 4, 4);
    return *size != 0 && *offset >= uint64_t(kPackageStart) && *offset + *size <= file_.size();
}

}  // namespace kestrova::kpack
