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

// Takes the text of a "/D=" argument (length bytes at text) as the folder.
// Blanks at its end go: Windows drops them from a folder's name anyway.
void readFolder(CommandLine& line, const char* text, std::size_t length) {
    while (length && isBlank(text[length - 1])) --length;
    if (line.hasFolder) {
        // Two folders: which one was meant is not for the setup to guess.
        line.unknownArgument = true;
        return;
    }
    line.hasFolder = true;
    char folder[kSystemPathSize * 2];
    if (length >= sizeof folder) return;
    std::memcpy(folder, text, length);
    folder[length] = '\0';
    line.folderAccepted = acceptInstallFolder(folder, line.folder, sizeof line.folder);
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
        // The argument's text is [text, end); the next one is looked for at p.
        const char* text = p;
        const char* end;
        if (*p == '"') {
            // Quoted: up to the closing quote, which must end the argument.
            text = p + 1;
            end = std::strchr(text, '"');
            if (!end || (end[1] && !isBlank(end[1]))) {
                line.unknownArgument = true;
                break;
            }
            p = end + 1;
        } else if (std::strncmp(p, "/D=", 3) == 0) {
            // Unquoted, the folder is the rest of the line.
            end = p + std::strlen(p);
            p = end;
        } else {
            end = p;
            while (*end && !isBlank(*end)) ++end;
            p = end;
        }
        const std::size_t length = static_cast<std::size_t>(end - text);
        if (length == 2 && text[0] == '/' && text[1] == 'S')
            line.silent = true;
        else if (length >= 3 && std::strncmp(text, "/D=", 3) == 0)
            readFolder(line, text + 3, length - 3);
        else
            line.unknownArgument = true;
    }
    return line;
}

bool acceptInstallFolder(const char* text, char* folder, std::size_t capacity) {
    return isDriveLetter(text[0]) &&
           checkInstallPathText(text, folder, capacity) == PathCheck::Accepted;
}

}  // namespace kestrova
