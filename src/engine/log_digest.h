#pragma once
// Digests of the two uninstall logs. The setup stores them beside the
// product's uninstall entry, where only administrators can write; the
// uninstaller, which runs elevated over logs in a folder any user may be
// able to change, removes what the logs list only when they still match.
#include <cstddef>
#include <vector>

#include "platform/platform.h"

namespace kestrova {

// The values under HKLM\...\Uninstall\<product> that hold them: 64
// lowercase hexadecimal digits, REG_SZ.
constexpr char kFileLogDigestValue[] = "FileLogSHA256";
constexpr char kDirLogDigestValue[] = "DirLogSHA256";
constexpr std::size_t kDigestTextSize = 2 * kSha256Size + 1;

// The largest log read whole: far beyond what a setup writes (a line per
// file, shortcut and folder), small enough to hold in memory.
constexpr std::size_t kLogSizeLimit = 64u << 20;

// Reads the whole file at path into *bytes. False when it cannot be
// opened or read to its end, or is larger than kLogSizeLimit.
bool readLogBytes(Platform& platform, const char* path, std::vector<char>* bytes);

// The SHA-256 digest of size bytes as 64 lowercase hexadecimal digits and
// a NUL. False, text empty, when the system cannot compute it.
bool logDigestText(Platform& platform, const char* data, std::size_t size,
                   char text[kDigestTextSize]);

}  // namespace kestrova
