#pragma once
// Registers the installed product with the system's list of removable
// programs: HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\<product>
// with "DisplayName" and "UninstallString", the command that starts the
// separate uninstaller in the Windows folder with the file log's path, and
// the details the list and deployment tools read (uninstall_details.h).
#include <cstddef>

#include "engine/user_port.h"
#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

// Writes the uninstaller's command line into buffer: the Windows folder +
// "\Kestrova-UnInstall.exe" + between + fileLogPath, no quotes. False,
// buffer empty, when the Windows folder is unknown or the line does not fit.
bool formUninstallerCommandLine(Platform& platform, const SetupState& state, const char* between,
                                char* buffer, std::size_t capacity);

// Writes the uninstall command into buffer: the Windows folder +
// "\Kestrova-UnInstall.exe " + fileLogPath, one space, no quotes (the
// uninstaller takes everything after the space as the log's path). False,
// buffer empty, when the Windows folder is unknown or the command does not
// fit (a buffer of kUninstallCommandSize always suffices).
constexpr std::size_t kUninstallCommandSize = kSystemPathSize + 24 + kTextSize;
bool formUninstallCommand(Platform& platform, const SetupState& state, char* buffer,
                          std::size_t capacity);

// Opens the Uninstall key for writing; when that fails, tells user
// (registryWriteError) and returns. With the uninstall option "1" it then
// replaces the product's key: deletes an earlier one, creates it and sets
// both values (REG_SZ, lengths without the NUL) and the details of
// uninstall_details.h.
// Failures past the first open are silent, as is an empty product name or
// an unknown Windows folder, which leave the entry unwritten rather than
// write a wrong one.
void registerUninstaller(Platform& platform, UserPort& user, const SetupState& state);

// Stores the SHA-256 digests of both logs, as they are now, beside the
// product's uninstall values (kFileLogDigestValue, kDirLogDigestValue), so
// that the uninstaller can tell the setup's own logs from edited ones. Call
// it once both logs have their final content, after the directory log's
// rewrite. Does nothing with the uninstall option off or without the
// product's key; a log that cannot be read or hashed gets no value, which
// the uninstaller takes as an unproven log.
void registerLogDigests(Platform& platform, const SetupState& state);

}  // namespace kestrova
