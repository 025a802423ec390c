#pragma once
// Registry data files: GBK text, one entry per CR LF line, holding key lines
// such as [HKEY_CURRENT_USER\Software\Maker\Tool] and string value lines
// such as "Path"="C:\Tools" ("" names the key's default value). Data is
// stored byte for byte: no escapes are interpreted.
#include "platform/platform.h"

namespace kestrova {

// Applies a registry data file: every key line opens or creates its key, and
// the value lines after it are written there as REG_SZ values. Lines the
// format does not provide for (malformed key or value lines, value lines
// without a usable key, lines over 479 bytes, a last line without a line
// end) are skipped. Every key handle is closed again. False only when the
// file cannot be opened; failed registry calls are not reported.
bool importRegistryFile(Platform& platform, const char* path);

// Opens root\keyPath level by level, opening each level with access and
// creating a missing level (RegCreateKey under its parent, opened with
// KEY_WRITE) from the top down; existing levels and their values are kept.
// Empty components (doubled backslashes) are ignored. True with *key the
// innermost key (the caller closes it); false, *key untouched and no handle
// left open, when keyPath has no component or a level can be neither opened
// nor created.
bool openKeyPathLevels(Platform& platform, RegKey root, const char* keyPath, uint32_t access,
                       RegKey* key);

// Opens the key of a key line (without its line end): "[" root name "\" key
// path "]", the root name one of HKEY_CLASSES_ROOT, HKEY_CURRENT_USER,
// HKEY_LOCAL_MACHINE, HKEY_USERS and HKEY_CURRENT_CONFIG, each level opened
// with KEY_WRITE. False, *key untouched, for a line without a backslash,
// an unknown root, a missing "]" or an empty key path, or when the walk
// fails.
bool openRegistryKeyPath(Platform& platform, const char* keyLine, RegKey* key);

}  // namespace kestrova
