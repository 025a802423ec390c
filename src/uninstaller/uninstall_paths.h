#pragma once
// What the uninstaller learns from its command line: the file log's path,
// given unquoted after the program's own name (the setup registers
// "<Windows>\Kestrova-UnInstall.exe <installDir>\<product>file.ini"), and
// what follows from it: the product's name, the directory log beside it and
// the install folder that holds both.
#include "state/setup_state.h"

namespace kestrova {

struct UninstallPaths {
    char fileLog[kTextSize] = {};        // ...\<product>file.ini
    char dirLog[kTextSize] = {};         // ...\<product>dir.ini
    char installFolder[kTextSize] = {};  // the folder of both logs
    char productName[kTextSize] = {};
};

// The text after the program's name in a whole command line (a quoted or
// unquoted first word), without the blanks around it.
const char* commandTail(const char* commandLine);

// "/S" as the first word of the tail (an unattended uninstall, as the
// setup takes it): true, with *tail moved past it and its blanks.
bool takeSilentSwitch(const char** tail);

// Fills paths from the command line's tail: the whole tail, spaces included,
// is the file log's path (a pair of quotes around it is taken off). False,
// paths empty, when it is not a full path (drive letter, colon, backslash)
// to a file named <product>file.ini with a product name, or when a path
// does not fit.
bool readUninstallArgument(const char* tail, UninstallPaths* paths);

// "<file log> /S": deployment tools append "/S" to the registered command.
// True, paths filled, when the tail ends in a blank and "/S" and the text
// before them is a file log's path as readUninstallArgument takes it; false,
// paths empty, otherwise.
bool readArgumentWithTrailingSwitch(const char* tail, UninstallPaths* paths);

}  // namespace kestrova
