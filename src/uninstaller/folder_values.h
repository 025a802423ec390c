#pragma once
// The system's folders as the uninstaller judges them: read from the
// registry's shell folder values, and put in their long form.
#include <string>

#include "platform/platform.h"

namespace kestrova {

// A string value of root\key; empty when the key or value is missing or
// does not fit a path.
std::string readFolderValue(Platform& platform, RegKey root, const char* key, const char* name);

// The path in its long form (short 8.3 names expanded where the parts
// exist); as given when the system cannot say. Empty stays empty.
std::string longForm(Platform& platform, const std::string& path);

}  // namespace kestrova
