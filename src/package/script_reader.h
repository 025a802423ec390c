#pragma once
// Reading the decompressed setup script: lines with the read limits of the
// format, section search, and the fixed-width [File] records. The script is
// read in binary mode, so every line keeps its CR LF until a reader that
// keeps the text removes it.
#include <cstdint>

#include "package/format.h"
#include "platform/file.h"
#include "state/setup_state.h"

namespace kestrova {

// Reads one line into buffer: at most capacity - 1 bytes, CR LF included,
// so a longer line comes in pieces. Returns the bytes read (NUL-terminated
// in buffer), or -1, buffer empty, at the end of the file.
int readScriptLine(File& script, char* buffer, int capacity);

// Cuts the line end off a line of `length` bytes, in place: a final LF and
// then a final CR. Returns the remaining length.
int removeLineEnd(char* line, int length);

// Reads one line (at most capacity - 1 bytes) and removes its line end:
// the text a reader keeps. Returns its length, or -1, buffer empty, at the
// end of the file.
int readTextLine(File& script, char* buffer, int capacity);

template <int N>
int readTextLine(File& script, char (&buffer)[N]) {
    return readTextLine(script, buffer, N);
}

// Reads lines (at most 479 bytes each) until one equals section (a name
// such as format::kSectionFile, CR LF included) byte for byte. True with the
// script at the start of the following line; false, the script at its end,
// when no line matched.
bool seekSection(File& script, const char* section);

// Reads the next [File] record line (at most capacity - 1 bytes) as the
// install run takes it: every '*' (the run-and-delete mark) reads as a
// space, and *runAndDelete, when given, tells whether there was one.
// Returns the bytes read, or -1 at the end of the script.
int readRecordLine(File& script, char* line, int capacity, bool* runAndDelete = nullptr);

// True when a record line of `length` bytes is a "<NoneApp>" marker.
bool isNoneAppLine(const char* line, int length);

// One [File] record line.
struct FileRecord {
    char path[format::kRecordPathWidth + 1];  // trailing spaces removed
    int32_t offset;                           // absolute position: record base + the offset field
    int32_t length;                           // compressed length of the stream
    char kind;                                // '\0' when the line is too short to hold one
};

// Splits a record line of `length` bytes (line end included or not) into
// its fields. Bytes beyond the line (after its line end is cut off) count
// as absent: a missing number field is 0, a missing kind '\0'. Never reads
// beyond line[length].
void parseFileRecord(const char* line, int length, int32_t recordBase, FileRecord* record);

// Reads the next line (at most 399 bytes) and parses it as a record. False,
// with an empty record, at the end of the file.
bool readFileRecord(File& script, int32_t recordBase, FileRecord* record);

}  // namespace kestrova
