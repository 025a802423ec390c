#include "package/stream_checksums.h"

#include <cstring>
#include <vector>

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

// Positions the script at the first checksum line: after "[Run]", its
// caption and its command, the section line.
bool seekChecksums(File& script) {
    char line[format::kLineBuffer];
    if (!seekSection(script, format::kSectionRun) ||
        readScriptLine(script, line, sizeof line) < 0 ||
        readScriptLine(script, line, sizeof line) < 0)
        return false;
    return readScriptLine(script, line, sizeof line) ==
               static_cast<int>(sizeof format::kSectionChecksums - 1) &&
           std::strcmp(line, format::kSectionChecksums) == 0;
}

struct StreamPlace {
    int32_t offset;
    int32_t length;
};

// The streams of the picture and file records, in record order (which is
// the order kpack lays them out in the package). False when the records
// end before "[TotalSize]".
bool readStreamPlaces(File& script, int32_t recordBase, std::vector<StreamPlace>* places) {
    if (!seekSection(script, format::kSectionFile)) return false;
    FileRecord record;
    for (int i = 0; i < format::kPictureRecordCount; ++i) {
        if (!readFileRecord(script, recordBase, &record)) return false;
        places->push_back({record.offset, record.length});
    }
    char line[format::kLineBuffer];
    for (;;) {
        int n = readRecordLine(script, line, sizeof line);
        if (n < 0) return false;
        if (std::strcmp(line, format::kSectionTotalSize) == 0) return true;
        if (isNoneAppLine(line, n)) continue;
        parseFileRecord(line, n, recordBase, &record);
        places->push_back({record.offset, record.length});
    }
}

// Reads the records, then the checksum lines after them, in one reading of
// the script; the streams are checked in record order, so the package is
// read front to back once.
bool recordsMatch(File& package, File& script, int32_t recordBase, int32_t dictionaryLength) {
    std::vector<StreamPlace> places;
    if (!script.seek(0) || !readStreamPlaces(script, recordBase, &places) || !seekChecksums(script))
        return false;
    // The dictionary's checksum comes after the streams'.
    if (dictionaryLength > 0)
        places.push_back(
            {static_cast<int32_t>(static_cast<uint32_t>(recordBase) + format::kPackageHeaderSize),
             dictionaryLength});
    for (const StreamPlace& place : places) {
        uint32_t expected = 0, actual = 0;
        if (!readChecksumLine(script, &expected) ||
            !streamChecksum(package, place.offset, place.length, &actual) || actual != expected)
            return false;
    }
    return true;
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
        // Straight from the file's read buffer: no copy.
        for (int32_t left = length; left > 0;) {
            const uint8_t* bytes = nullptr;
            const std::size_t got = package.take(&bytes, static_cast<std::size_t>(left));
            if (got == 0) return false;
            crc = crc32Update(crc, bytes, got);
            left -= static_cast<int32_t>(got);
        }
    }
    *checksum = crc;
    return true;
}

ChecksumCheck checkStreamChecksums(File& package, File& script, const SetupState& state) {
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

    if (!script || !recordsMatch(package, script, state.packageOffset, state.dictionaryLength))
        return ChecksumCheck::Damaged;
    return ChecksumCheck::Intact;
}

}  // namespace kestrova
