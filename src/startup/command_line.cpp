#include "startup/command_line.h"

#include <cstring>

#include "engine/gbk_text.h"

namespace kestrova {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// True when the last byte of text[0, length) is a character of its own and
// not the trail byte of a GBK character.
bool lastByteStandsAlone(const char* text, std::size_t length) {
    const char* end = text + length;
    const char* p = text;
    std::size_t step = 0;
    while (p < end) {
        step = gbkCharLength(p, end);
        p += step;
    }
    return step == 1;
}

}  // namespace

const char* skipProgramName(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && !isBlank(*p)) ++p;
    }
    while (isBlank(*p)) ++p;
    return p;
}

bool acceptInstallPath(const char* text, char* out, std::size_t capacity) {
    if (capacity) out[0] = '\0';
    std::size_t length = std::strlen(text);
    if (length < 4 || !isDriveLetter(text[0]) || text[1] != ':' || text[2] != '\\' ||
        text[3] == '\\' || text[3] == '/')
        return false;
    if (text[length - 1] == '\\' && lastByteStandsAlone(text, length)) --length;
    if (length >= capacity) return false;
    std::memcpy(out, text, length);
    out[length] = '\0';
    return true;
}

CommandLine parseCommandLine(const char* arguments) {
    CommandLine line;
    const char* p = arguments;
    for (;;) {
        while (isBlank(*p)) ++p;
        if (!*p) break;
        if (std::strncmp(p, "/D=", 3) == 0) {
            // The rest of the line is the folder; blanks after it are not.
            std::size_t length = std::strlen(p + 3);
            while (length && isBlank(p[3 + length - 1])) --length;
            char folder[kSystemPathSize * 2];
            line.hasFolder = true;
            if (length < sizeof folder) {
                std::memcpy(folder, p + 3, length);
                folder[length] = '\0';
                line.folderAccepted = acceptInstallPath(folder, line.folder, sizeof line.folder);
            }
            break;
        }
        const char* end = p;
        while (*end && !isBlank(*end)) ++end;
        if (end - p == 2 && p[0] == '/' && p[1] == 'S') line.silent = true;
        p = end;
    }
    return line;
}

}  // namespace kestrova
