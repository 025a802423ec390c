#pragma once
// The setup script's header: the product name, the default install folder
// and the two options from its first lines, the total size from [TotalSize],
// and the licence text split off its tail.
#include <cstdint>

#include "engine/user_port.h"
#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

// Reads state.scriptPath: sets totalSizeKb, productName, installDir (with
// its path macro expanded), licenceOption and uninstallOption, and copies
// the licence text (the script's last L bytes) into state.licencePath. A
// licence length below 0 or beyond the script gives an empty licence file.
// False only when the script cannot be opened; missing lines leave empty
// texts and a total size of 0.
bool readScriptHeader(Platform& platform, UserPort& user, SetupState& state);

// The same from the script already open as script, read from its start.
// False only when script is closed.
bool readScriptHeader(Platform& platform, UserPort& user, SetupState& state, File& script);

// Creates targetPath and copies `count` bytes of source from position
// `start` into it, in blocks of at most 1000 bytes; a source that ends
// early ends the copy. The source stays open. When the target cannot be
// created or written, tells user (fileCreateError) and returns false.
bool copyFileTail(Platform& platform, UserPort& user, File& source, const char* targetPath,
                  int64_t start, int64_t count);

}  // namespace kestrova
