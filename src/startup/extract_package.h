#pragma once
// Extraction: unpacks the setup script, the licence text and the three
// pictures from the setup program's own file into the temporary folder,
// under names that share one time-stamped prefix, and fills SetupState from
// the script's header.
#include "engine/temp_files.h"
#include "engine/user_port.h"
#include "package/lzss_decoder.h"
#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

// The whole extraction. Returns false after a package read error: the
// setup program's file or the unpacked script cannot be opened, or the
// package is malformed (a stream outside the file, a file count that does
// not match the records, a missing "[Directory]", "[File]" or "[TotalSize]"
// line), or a stream differs from its checksum. user has been told
// (packageReadError) and the temporary files made so far are deleted;
// nothing else was written.
bool extractPackage(Platform& platform, UserPort& user, SetupState& state, LzssDecoder& decoder);

}  // namespace kestrova
