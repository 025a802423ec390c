#pragma once
// The values of the product's uninstall entry beside DisplayName and
// UninstallString that the system's list of programs and deployment tools
// read: the version, publisher and web address the package's [Product]
// section gives, the icon, the install folder and date, the size, the
// command that uninstalls without a window, and that the entry offers no
// change or repair. Also reads back the install folder an earlier install
// recorded, so that an upgrade can land on the installed copy.
#include <cstddef>
#include <cstdint>

#include "engine/user_port.h"
#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

// The install date as the list of programs reads it: "YYYYMMDD" and a NUL.
void formatInstallDate(const LocalTime& time, char out[9]);

// A size in bytes as whole kilobytes, rounded up.
uint32_t kilobytesRoundedUp(uint32_t bytes);

// Writes the unattended uninstall command into buffer: the Windows folder +
// "\Kestrova-UnInstall.exe /S " + fileLogPath, unquoted like the
// UninstallString. False, buffer empty, when the Windows folder is unknown
// or the command does not fit (kUninstallCommandSize + 3 always suffices).
bool formQuietUninstallCommand(Platform& platform, const SetupState& state, char* buffer,
                               std::size_t capacity);

// Writes the details into the product's open uninstall key, after its
// DisplayName and UninstallString: DisplayVersion, Publisher and
// URLInfoAbout when the script gives them; DisplayIcon (the script's icon,
// its macro expanded, else the uninstaller), InstallLocation, InstallDate,
// EstimatedSize (REG_DWORD, kilobytes of the script's total size),
// QuietUninstallString, NoModify and NoRepair (REG_DWORD 1). Reads the
// script at state.scriptPath; one that cannot be read gives no facts and a
// size of 0. Failures are silent, like those of the two values before.
void writeUninstallDetails(Platform& platform, UserPort& user, const SetupState& state,
                           RegKey product);

// Reads the InstallLocation of productName's uninstall entry into folder
// (capacity bytes). False, folder empty, when there is no entry, no such
// value, or it does not fit.
bool readInstalledLocation(Platform& platform, const char* productName, char* folder,
                           std::size_t capacity);

}  // namespace kestrova
