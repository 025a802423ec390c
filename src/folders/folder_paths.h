#pragma once
// The decisions of the folder page that need no window: the drive list's
// entry texts, the required-space line, the default folder's tail, the
// composed install path, and the path walking of the folder tree. Every
// text is GBK; paths are walked character by character, so the second byte
// of a Chinese character is never taken for a '\' or a letter.
#include <cstddef>
#include <cstdint>

namespace kestrova {

// The composed install path is built in a buffer of this size; a longer one
// is not offered.
constexpr std::size_t kComposedPathSize = 300;
// The expansion of "[Program Files]" is held in a buffer of this size.
constexpr std::size_t kProgramFilesSize = 300;

// Whole megabytes (1,048,576 bytes, rounded down) of a byte count.
inline uint64_t wholeMegabytes(uint64_t bytes) {
    return bytes >> 20;
}

// "磁盘" + letter + "： " + megabytes + " MB 空间" into text. False, text
// unchanged, when it does not fit.
bool driveEntryText(char letter, uint64_t megabytes, char* text, std::size_t capacity);

// The drive letter named by a drive entry: its first byte in 'A'..'Z', or
// 0 when it has none.
char driveLetterOfEntry(const char* entry);

// "安装此软件至少需要 " + totalSizeKb / 1024 with two decimals, halves
// rounded up + " MB 的磁盘空间！". False, text unchanged, when it does not
// fit.
bool requiredSpaceLine(uint32_t totalSizeKb, char* text, std::size_t capacity);

// The part of installDir that every chosen folder gets appended, into name:
// what follows programFiles and its '\' when installDir lies in that folder
// (*underProgramFiles true), else what follows the drive ("D:\"). An
// installDir with no such part gives an empty name. False, name empty, when
// the part does not fit.
bool deriveDefaultFolderName(const char* installDir, const char* programFiles, char* name,
                             std::size_t capacity, bool* underProgramFiles);

// The install path offered for the folder selected in the tree: selected
// + "\" + defaultFolderName, where a selected drive ("D:") stands for its
// Program Files folder when underProgramFiles is set. An empty
// defaultFolderName gives the folder alone. False, path unchanged, with
// nothing selected or when the result does not fit.
bool composeInstallPath(const char* selected, const char* defaultFolderName, bool underProgramFiles,
                        const char* programFiles, char* path, std::size_t capacity);

// Puts part and a '\' in front of path ("Apps" before "Data" gives
// "Apps\Data"; before an empty path it gives "Apps"). False, path
// unchanged, when the result does not fit.
bool prependPathPart(char* path, std::size_t capacity, const char* part);

// Upper-cases the ASCII letters of a GBK text in place, leaving the bytes of
// double-byte characters as they are.
void upperAsciiLetters(char* text);

// Copies the next '\'-separated component of the text at *cursor into
// component and moves *cursor past it and its separator; empty components
// are skipped. False at the end of the text, or when a component does not
// fit (component empty).
bool nextPathComponent(const char** cursor, char* component, std::size_t capacity);

// The last '\'-separated component of a GBK path (the whole path when it
// has no separator).
const char* lastPathComponent(const char* path);

// True when the GBK text's last character is a '\'.
bool endsWithSeparator(const char* path);

}  // namespace kestrova
