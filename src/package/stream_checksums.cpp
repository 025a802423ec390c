#include "package/stream_checksums.h"

#include <cstring>

#include "package/crc32.h"
#include "package/format.h"
#include "package/script_reader.h"

namespace kestrova {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Reads the next checksum line: eight digits and CR LF.
bool readChecksumLine(File& sums, uint32_t* value) {
    char line[format::kLineBuffer];
    int n = readScriptLine(sums, line, sizeof line);
    return n == format::kChecksumDigits + 2 && line[format::kChecksumDigits] == '\r' &&
           line[format::kChecksumDigits + 1] == '\n' &&
           parseChecksum(line, format::kChecksumDigits, value);
}

bool streamMatches(File& package, File& sums, const FileRecord& record) {
    uint32_t expected = 0, actual = 0;
    return readChecksumLine(sums, &expected) &&
           streamChecksum(package, record.offset, record.length, &actual) && actual == expected;
}

// Positions sums at the first checksum line: after "[Run]", its caption and
// its command, the section line.
bool seekChecksums(File& sums) {
    char line[format::kLineBuffer];
    if (!seekSection(sums, format::kSectionRun) || readScriptLine(sums, line, sizeof line) < 0 ||
        readScriptLine(sums, line, sizeof line) < 0)
        return false;
    return readScriptLine(sums, line, sizeof line) ==
               static_cast<int>(sizeof format::kSectionChecksums - 1) &&
           std::strcmp(line, format::kSectionChecksums) == 0;
}

// Walks the picture and file records and the checksum lines side by side.
bool recordsMatch(File& package, File& records, File& sums, int32_t recordBase) {
    if (!seekSection(records, format::kSectionFile) || !seekChecksums(sums)) return false;
    FileRecord record;
    for (int i = 0; i < format::kPictureRecordCount; ++i) {
        if (!readFileRecord(records, recordBase, &record) || !streamMatches(package, sums, record))
            return false;
    }
    char line[format::kLineBuffer];
    for (;;) {
        int n = readRecordLine(records, line, sizeof line);
        if (n < 0) return false;
        if (std::strcmp(line, format::kSectionTotalSize) == 0) return true;
        if (isNoneAppLine(line, n)) continue;
        parseFileRecord(line, n, recordBase, &record);
        if (!streamMatches(package, sums, record)) return false;
    }
}

}  // namespace

void formatChecksum(uint32_t value, char* out) {
    static const char digits[] = "0123456789ABCDEF";
    for (int i = format::kChecksumDigits - 1; i >= 0; --i, value >>= 4)
        out[i] = digits[value & 15u];
}

bool parseChecksum(const char* text, std::size_t length, uint32_t* value) {
    if (length != static_cast<std::size_t>(format::kChecksumDigits)) return false;
    uint32_t v = 0;
    for (std::size_t i = 0; i < length; ++i) {
        int digit = hexValue(text[i]);
        if (digit < 0) return false;
        v = v << 4 | static_cast<uint32_t>(digit);
    }
    *value = v;
    return true;
}

bool headerScriptChecksum(const char* field, uint32_t* checksum) {
    return field[format::kHeaderChecksumNul] == '\0' &&
           parseChecksum(field + format::kHeaderChecksumDigits, format::kChecksumDigits, checksum);
}

bool streamChecksum(File& package, int64_t offset, int32_t length, uint32_t* checksum) {
    if (length < 0) return false;
    uint32_t crc = 0;
    if (length > 0) {
        if (!package.seek(offset)) return false;
        // Large reads go straight from the system to this buffer, past the
        // runtime's own buffer; 32 KB keeps the stack frame modest.
        unsigned char buffer[32768];
        for (int32_t left = length; left > 0;) {
            std::size_t want = left < int32_t(sizeof buffer) ? std::size_t(left) : sizeof buffer;
            if (package.read(buffer, want) != want) return false;
            crc = crc32Update(crc, buffer, want);
            left -= static_cast<int32_t>(want);
        }
    }
    *checksum = crc;
    return true;
}

ChecksumCheck checkStreamChecksums(Platform& platform, File& package, const SetupState& state) {
    char header[format::kPackageHeaderSize];
    uint32_t scriptChecksum = 0;
    if (!package.seek(kPackageStart) || package.read(header, sizeof header) != sizeof header ||
        !headerScriptChecksum(header + format::kHeaderScriptLength, &scriptChecksum))
        return ChecksumCheck::Absent;

    // The record base is the package start plus the script stream's length.
    const int32_t scriptLength = state.packageOffset - kPackageStart;
    uint32_t actual = 0;
    if (!streamChecksum(package, int64_t(kPackageStart) + format::kPackageHeaderSize, scriptLength,
                        &actual) ||
        actual != scriptChecksum)
        return ChecksumCheck::Damaged;

    File records = platform.openFile(state.scriptPath, FileMode::Read);
    File sums = platform.openFile(state.scriptPath, FileMode::Read);
    if (!records || !sums || !recordsMatch(package, records, sums, state.packageOffset))
        return ChecksumCheck::Damaged;
    return ChecksumCheck::Intact;
}

}  // namespace kestrova
