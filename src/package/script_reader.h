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

// The section lines in script order; sectionIndex gives a line's place
// among them.
constexpr int kSectionIndexDirectory = 0;
constexpr int kSectionIndexFile = 1;
constexpr int kSectionIndexTotalSize = 2;
constexpr int kSectionIndexAutoReg = 3;
constexpr int kSectionIndexClearFile = 4;
constexpr int kSectionIndexMenu = 5;
constexpr int kSectionIndexRun = 6;

// The index of a line of `length` bytes (CR LF included) that equals a
// section line byte for byte, or -1 for any other line.
int sectionIndex(const char* line, int length);

// Where the licence text at the script's tail begins: the script's length
// less the licence length that the third line after "[TotalSize]" gives.
// The script's length when that length is missing, negative or longer than
// the script. Leaves the script at an unspecified position.
int64_t scriptBodyEnd(File& script);

// Reads one line (at most capacity - 1 bytes) that begins before bodyEnd:
// the lines a reader takes end where the licence text begins. Returns the
// bytes read, or -1 at bodyEnd or at the end of the file.
int readBodyLine(File& script, int64_t bodyEnd, char* buffer, int capacity);

// Reads the next [File] record line (at most capacity - 1 bytes) as the
// install run takes it: every '*' (the run-and-delete mark) reads as a
// space, and *runAndDelete, when given, tells whether there was one.
// Returns the bytes read, or -1 at the end of the script.
int readRecordLine(File& script, char* line, int capacity, bool* runAndDelete = nullptr);

// The same for a line already read: turns its '*' marks into spaces.
// Returns length.
int takeRunAndDeleteMarks(char* line, int length, bool* runAndDelete);

// True when a record line of `length` bytes is a "<NoneApp>" marker.
bool isNoneAppLine(const char* line, int length);

// One [File] record line.
struct FileRecord {
    char path[format::kRecordPathWidth + 1];  // trailing spaces removed
    int32_t offset;                           // absolute position: record base + the offset field
    int32_t length;                           // compressed length of the stream
    char kind;                                // '\0' when the line is too short to hold one
    format::StreamCodec codec;                // LZSS when the line holds no codec mark
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
