#pragma once
// The package header at the end of the stub: it locates the compressed
// setup script and gives the number of file records.
#include "package/lzss_decoder.h"
#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

// Opens state.packagePath, reads the 40-byte header at state.packageOffset,
// sets state.fileCount, decodes the script stream into state.scriptPath and
// adds the script's length to state.packageOffset (the record base). False
// only when the package file cannot be opened; a failed decode is handled
// by the decoder. Header bytes missing from the file read as empty fields
// (value 0), so a stub without a package yields an empty script.
bool readPackageHeader(Platform& platform, SetupState& state, LzssDecoder& decoder);

// The dictionary length that a 20-byte file count field carries after its
// NUL (format.h): 1 to kMaxDictionary, in digits padded with spaces. 0 for a
// field that carries none, or anything else there.
int32_t headerDictionaryLength(const char* field);

}  // namespace kestrova
