#include "package/script_reader.h"

#include <cstring>

#include "package/number_field.h"

namespace kestrova {

int readScriptLine(File& script, char* buffer, int capacity) {
    if (capacity <= 0) return -1;
    return script.readLine(buffer, capacity);
}

int removeLineEnd(char* line, int length) {
    // Only the line end itself goes: a final line without CR LF, or a piece
    // of a line split by the read limit, keeps all of its text.
    if (length > 0 && line[length - 1] == '\n') --length;
    if (length > 0 && line[length - 1] == '\r') --length;
    if (length >= 0) line[length] = '\0';
    return length;
}

int readTextLine(File& script, char* buffer, int capacity) {
    int length = readScriptLine(script, buffer, capacity);
    if (length < 0) return -1;
    return removeLineEnd(buffer, length);
}

int readRecordLine(File& script, char* line, int capacity, bool* runAndDelete) {
    return takeRunAndDeleteMarks(line, readScriptLine(script, line, capacity), runAndDelete);
}

int takeRunAndDeleteMarks(char* line, int n, bool* runAndDelete) {
    bool marked = false;
    for (int i = 0; i < n; ++i) {
        if (line[i] == format::kRunAndDeleteMark) {
            line[i] = ' ';
            marked = true;
        }
    }
    if (runAndDelete) *runAndDelete = marked;
    return n;
}

bool isNoneAppLine(const char* line, int length) {
    return length >= format::kNoneAppMarkerLength &&
           std::memcmp(line, format::kNoneAppMarker, format::kNoneAppMarkerLength) == 0;
}

bool seekSection(File& script, const char* section) {
    const int wanted = static_cast<int>(std::strlen(section));
    char line[format::kLongLineBuffer];
    int length;
    while ((length = readScriptLine(script, line, sizeof line)) >= 0) {
        if (length == wanted && std::memcmp(line, section, wanted) == 0) return true;
    }
    return false;
}

int sectionIndex(const char* line, int length) {
    static const char* const kSections[] = {format::kSectionDirectory, format::kSectionFile,
                                            format::kSectionTotalSize, format::kSectionAutoReg,
                                            format::kSectionClearFile, format::kSectionMenu,
                                            format::kSectionRun};
    for (int i = 0; i < static_cast<int>(sizeof kSections / sizeof kSections[0]); ++i) {
        const int n = static_cast<int>(std::strlen(kSections[i]));
        if (length == n && std::memcmp(line, kSections[i], n) == 0) return i;
    }
    return -1;
}

int64_t scriptBodyEnd(File& script) {
    const int64_t size = script.size();
    if (size < 0 || !script.seek(0) || !seekSection(script, format::kSectionTotalSize)) return size;
    char line[format::kLineBuffer];
    int length = -1;
    for (int i = 0; i < 3; ++i) length = readTextLine(script, line);
    if (length < 0) return size;
    const int64_t licence = parseNumberField(line);
    return licence < 0 || licence > size ? size : size - licence;
}

int readBodyLine(File& script, int64_t bodyEnd, char* buffer, int capacity) {
    const int64_t at = script.tell();
    if (at < 0 || at >= bodyEnd) {
        if (capacity > 0) buffer[0] = '\0';
        return -1;
    }
    return readScriptLine(script, buffer, capacity);
}

namespace {

// The number field at `at` of a record whose present bytes end at `end`.
int32_t recordNumber(const char* line, int end, int at) {
    if (end <= at) return 0;
    int width = end - at;
    if (width > format::kNumberFieldWidth) width = format::kNumberFieldWidth;
    return parseNumberField(line + at, width);
}

}  // namespace

void parseFileRecord(const char* line, int length, int32_t recordBase, FileRecord* record) {
    // The line end is not part of the record: on a short line it would
    // otherwise end up in the path or the kind.
    int end = length;
    if (end > 0 && line[end - 1] == '\n') --end;
    if (end > 0 && line[end - 1] == '\r') --end;

    int pathBytes = end < format::kRecordPathWidth ? end : format::kRecordPathWidth;
    std::memcpy(record->path, line, pathBytes);
    record->path[pathBytes] = '\0';
    trimTrailingSpaces(record->path);

    // Unsigned addition: the record base and the field are 32-bit values
    // whose sum wraps instead of overflowing; a position that wraps below 0
    // cannot be sought, so such a stream decodes to an empty file.
    uint32_t offset = static_cast<uint32_t>(recordNumber(line, end, format::kRecordOffsetField)) +
                      static_cast<uint32_t>(recordBase);
    record->offset = static_cast<int32_t>(offset);
    record->length = recordNumber(line, end, format::kRecordLengthField);
    record->kind = end > format::kRecordKind ? line[format::kRecordKind] : '\0';
    record->codec =
        format::codecOfMark(end > format::kRecordCodec ? line[format::kRecordCodec] : ' ');
}

bool readFileRecord(File& script, int32_t recordBase, FileRecord* record) {
    char line[format::kLineBuffer];
    int length = readScriptLine(script, line, sizeof line);
    if (length < 0) {
        parseFileRecord(line, 0, recordBase, record);
        return false;
    }
    parseFileRecord(line, length, recordBase, record);
    return true;
}

}  // namespace kestrova
