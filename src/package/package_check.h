#pragma once
// Checks a package before anything is unpacked from it: a truncated
// download or a damaged file must give the package read error, not a
// half-installed product. Packages made by other tools that follow the
// format stay valid: streams may lie anywhere in the file, in any order.
#include <cstdint>

#include "package/script_check.h"
#include "platform/file.h"
#include "state/setup_state.h"

namespace kestrova {

// True when the script stream of `scriptLength` bytes after the 40-byte
// header at packageStart lies inside a file of fileSize bytes.
bool scriptStreamInside(int64_t fileSize, int32_t packageStart, int32_t scriptLength);

// Reads the decoded script from its start, line by line, through
// ScriptCheck (script_check.h) against the package file (fileSize bytes,
// record base recordBase) and the header's fileCount. Returns the first
// problem found, or None; *line, when given, gets its script line (0 for
// none). Leaves the script at an unspecified position.
PackageProblem checkPackageScript(File& script, int64_t fileSize, int32_t recordBase,
                                  int32_t fileCount, int* line = nullptr);

// The whole check, after the header was read into state (script length,
// file count): the open setup program and its decoded script. True when
// nothing is wrong; a file that is not open is wrong.
bool packageIsSound(File& package, File& script, const SetupState& state);

}  // namespace kestrova
