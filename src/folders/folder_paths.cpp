#include "folders/folder_paths.h"

#include <cstring>

#include "engine/gbk_text.h"
#include "resources/texts.h"
#include "state/bounded_text.h"

namespace kestrova {

namespace {

// The length of the GBK character at p of a NUL-terminated text.
std::size_t charLength(const char* p) {
    return gbkCharLength(p, p + (p[1] ? 2 : 1));
}

}  // namespace

bool driveEntryText(char letter, uint64_t megabytes, char* text, std::size_t capacity) {
    char number[24];
    *appendDecimal(number, megabytes) = '\0';
    const char drive[2] = {letter, '\0'};
    char head[32];
    if (!joinText(head, sizeof head, texts::kDriveEntryBefore, drive, texts::kDriveEntryColon))
        return false;
    return joinText(text, capacity, head, number, texts::kDriveEntryAfter);
}

char driveLetterOfEntry(const char* entry) {
    // The prefix is made of bytes 0x80 and above: taken as signed bytes
    // they are negative, so the first upper-case letter is the drive's.
    for (const char* p = entry; *p; ++p)
        if (*p >= 'A' && *p <= 'Z') return *p;
    return 0;
}

bool requiredSpaceLine(uint32_t totalSizeKb, char* text, std::size_t capacity) {
    // Hundredths of a megabyte, halves rounded up: kilobytes / 1024 is
    // exact in binary, so integers give what "%.2f" of the exact value
    // gives when ties go up (1152 KB is 1.125 MB, shown as 1.13).
    const uint64_t hundredths = (static_cast<uint64_t>(totalSizeKb) * 100 + 512) / 1024;
    char number[32];
    char* end = appendDecimal(number, hundredths / 100);
    *end++ = '.';
    *end++ = static_cast<char>('0' + hundredths % 100 / 10);
    *end++ = static_cast<char>('0' + hundredths % 10);
    *end = '\0';
    return joinText(text, capacity, texts::kRequiredSpaceBefore, number,
                    texts::kRequiredSpaceAfter);
}

bool deriveDefaultFolderName(const char* installDir, const char* programFiles, char* name,
                             std::size_t capacity, bool* underProgramFiles) {
    const std::size_t prefix = std::strlen(programFiles);
    const char* tail;
    // Only a whole folder name counts: "C:\Program Files2\Viewer" does not
    // lie in "C:\Program Files", and taking its '2' for the separator would
    // lose a character of the folder name.
    if (prefix > 0 && std::strncmp(installDir, programFiles, prefix) == 0 &&
        (installDir[prefix] == '\\' || installDir[prefix] == '\0')) {
        *underProgramFiles = true;
        tail = installDir + prefix + (installDir[prefix] == '\\' ? 1 : 0);
    } else {
        *underProgramFiles = false;
        tail = std::strlen(installDir) > 3 ? installDir + 3 : "";
    }
    if (copyText(name, capacity, tail)) return true;
    if (capacity) name[0] = '\0';
    return false;
}

bool composeInstallPath(const char* selected, const char* defaultFolderName, bool underProgramFiles,
                        const char* programFiles, char* path, std::size_t capacity) {
    if (!selected[0]) return false;
    char folder[kComposedPathSize];
    // A drive's top-level item stands for that drive's Program Files
    // folder when the default lay there.
    if (std::strlen(selected) < 3 && underProgramFiles && programFiles[0]) {
        if (!copyText(folder, sizeof folder, programFiles)) return false;
        folder[0] = selected[0];
    } else if (!copyText(folder, sizeof folder, selected)) {
        return false;
    }
    if (!defaultFolderName[0]) return copyText(path, capacity, folder);
    char composed[kComposedPathSize];
    if (!joinText(composed, sizeof composed, folder, "\\", defaultFolderName)) return false;
    return copyText(path, capacity, composed);
}

bool prependPathPart(char* path, std::size_t capacity, const char* part) {
    if (!path[0]) return copyText(path, capacity, part);
    return joinText(path, capacity, part, "\\", path);
}

void upperAsciiLetters(char* text) {
    for (char* p = text; *p;) {
        const std::size_t n = charLength(p);
        if (n == 1 && *p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
        p += n;
    }
}

bool nextPathComponent(const char** cursor, char* component, std::size_t capacity) {
    const char* p = *cursor;
    while (*p == '\\') ++p;
    if (!*p) {
        *cursor = p;
        return false;
    }
    const char* start = p;
    while (*p && *p != '\\') p += charLength(p);
    *cursor = *p ? p + 1 : p;
    if (copyTextN(component, capacity, start, static_cast<std::size_t>(p - start))) return true;
    if (capacity) component[0] = '\0';
    return false;
}

const char* lastPathComponent(const char* path) {
    const char* start = path;
    for (const char* p = path; *p; p += charLength(p))
        if (*p == '\\') start = p + 1;
    return start;
}

bool endsWithSeparator(const char* path) {
    const char* last = nullptr;
    for (const char* p = path; *p; p += charLength(p)) last = p;
    return last && *last == '\\';
}

}  // namespace kestrova
