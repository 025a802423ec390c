#include "startup/command_line.h"

#include <cstring>

#include "wizard/wizard_flow.h"

namespace kestrova {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
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
                line.folderAccepted =
                    isDriveLetter(folder[0]) &&
                    checkInstallPathText(folder, line.folder, sizeof line.folder) ==
                        PathCheck::Accepted;
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
