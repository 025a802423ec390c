#pragma once
// The setup's command line, for administrators who deploy software with
// scripts: "/S" installs without showing anything, "/D=folder" picks the
// install folder, the way users of other installers know them. Both are
// case-sensitive; "/D=" must come last and takes the rest of the line,
// spaces included, without quotes. Anything else is ignored, and a setup
// started without arguments behaves as it always did.
#include <cstddef>

#include "platform/platform.h"  // kSystemPathSize

namespace kestrova {

struct CommandLine {
    bool silent = false;          // "/S"
    bool hasFolder = false;       // "/D=" was given
    bool folderAccepted = false;  // and it names a drive and passes the wizard's path check
    char folder[kSystemPathSize] = {};
};

// Skips the program's own name at the start of a command line, as the C
// runtime reads it (in double quotes: up to the closing quote; otherwise up
// to the first space or tab), and the blanks after it. Returns the first
// argument, or the text's end.
const char* skipProgramName(const char* commandLine);

// Reads the arguments (GBK; the command line after the program's name).
CommandLine parseCommandLine(const char* arguments);

}  // namespace kestrova
