#pragma once
// Whether the two logs are the setup's own: the digests it stored beside
// the product's uninstall entry (HKLM, where only administrators write)
// against the bytes the uninstaller read, the same bytes it then parses.
#include <vector>

#include "platform/platform.h"

namespace kestrova {

// True when both stored digests are there and match fileLog and dirLog.
// False when a value is missing (a setup that stored none, or no entry),
// either log differs, or the system cannot compute a digest.
bool logsProven(Platform& platform, const char* productName, const std::vector<char>& fileLog,
                const std::vector<char>& dirLog);

}  // namespace kestrova
