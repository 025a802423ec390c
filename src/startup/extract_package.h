#pragma once
// Extraction: unpacks the setup script, the licence text and the three
// pictures from the setup program's own file into the temporary folder,
// under names that share one time-stamped prefix, and fills SetupState from
// the script's header.
#include <cstddef>

#include "package/lzss_decoder.h"
#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

// The local time as decimal numbers without padding or separators: year,
// month, day, hour, minute, second, milliseconds (5 March 2004
// 09:07:03.045 gives "20043597345"). buffer needs 40 bytes.
void timeStamp(const LocalTime& time, char* buffer, std::size_t capacity);

// Sets the five temporary names: the temporary folder, "~temp" (after a
// backslash), the time stamp, then ".ini", "Doc.htm", "Wel.Bmp", "Soft.Bmp",
// "Title.Bmp". False when the names do not fit their fields.
bool makeTempNames(Platform& platform, SetupState& state);

// Deletes the five temporary files (those that exist).
void deleteTempFiles(Platform& platform, const SetupState& state);

// The whole extraction. Returns false after a package read error: the
// setup program's file or the unpacked script cannot be opened, or the
// package is malformed (a stream outside the file, a file count that does
// not match the records, a missing "[Directory]", "[File]" or "[TotalSize]"
// line), or a stream differs from its checksum. The error message (owned by owner) has been shown
// and the temporary files made so far are deleted; nothing else was written.
bool extractPackage(Platform& platform, SetupState& state, LzssDecoder& decoder, WindowRef owner);

}  // namespace kestrova
