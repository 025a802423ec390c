#pragma once
// An upgrade belongs where the product is installed: the folder an earlier
// install recorded in the product's uninstall entry (InstallLocation) is
// proposed instead of the script's default, by the folder page and by the
// unattended install without "/D=". Otherwise a second install into the
// default folder would take over the one uninstall entry, and the first
// copy could no longer be removed.
#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

// When the uninstall entry of state.productName names an install folder
// that the folder page would accept (a drive, ":\" and a name), puts it
// into state.installDir and returns true; otherwise leaves installDir as it
// is and returns false.
bool proposeInstalledFolder(Platform& platform, SetupState& state);

}  // namespace kestrova
