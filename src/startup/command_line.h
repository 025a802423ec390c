#pragma once
// The setup's command line, for administrators who deploy software with
// scripts: "/S" installs without showing anything, "/D=folder" picks the
// install folder, the way users of other installers know them. Both are
// case-sensitive. Unquoted, "/D=" must come last and takes the rest of the
// line, spaces included; an argument in double quotes ("/D=C:\My Apps", as
// Wine and deployment tools pass one with spaces) is read without its
// quotes and may stand anywhere. With "/S" any other argument is refused,
// so that a misspelt option never installs somewhere it was not asked to;
// without "/S" other arguments are ignored and the wizard starts as always.
#include <cstddef>

#include "platform/platform.h"  // kSystemPathSize

namespace kestrova {

struct CommandLine {
    bool silent = false;           // "/S"
    bool hasFolder = false;        // "/D=" was given
    bool folderAccepted = false;   // and it names a drive and passes the wizard's path check
    bool unknownArgument = false;  // an argument other than "/S" and one "/D=", or an open quote
    char folder[kSystemPathSize] = {};
};

// Skips the program's own name at the start of a command line, as the C
// runtime reads it (in double quotes: up to the closing quote; otherwise up
// to the first space or tab), and the blanks after it. Returns the first
// argument, or the text's end.
const char* skipProgramName(const char* commandLine);

// Reads the arguments (GBK; the command line after the program's name).
CommandLine parseCommandLine(const char* arguments);

// The rule for a folder the unattended install is given or finds in the
// script: a drive letter, then the folder page's path check. True with the
// folder to use in folder (capacity bytes); false when it is refused or
// does not fit, folder then undefined.
bool acceptInstallFolder(const char* text, char* folder, std::size_t capacity);

}  // namespace kestrova
