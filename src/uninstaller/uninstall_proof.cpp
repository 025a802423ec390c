#include "uninstaller/uninstall_proof.h"

#include <cstring>

#include "engine/log_digest.h"
#include "platform/scoped_key.h"
#include "uninstaller/uninstall_run.h"

namespace kestrova {
namespace {

// The stored value matches the digest of bytes: the whole value, not a
// prefix of it.
bool matches(Platform& platform, RegKey key, const char* name, const std::vector<char>& bytes) {
    char stored[kDigestTextSize + 8];
    uint32_t size = sizeof stored - 1;
    if (!platform.regQueryValue(key, name, stored, &size)) return false;
    stored[size < sizeof stored ? size : sizeof stored - 1] = '\0';
    char actual[kDigestTextSize];
    return logDigestText(platform, bytes.data(), bytes.size(), actual) &&
           std::strcmp(stored, actual) == 0;
}

}  // namespace

bool logsProven(Platform& platform, const char* productName, const std::vector<char>& fileLog,
                const std::vector<char>& dirLog) {
    ScopedKey entry(platform);
    if (!entry.open(kHkeyLocalMachine, uninstallKeyPath(productName).c_str(), kKeyRead))
        return false;
    return matches(platform, entry.get(), kFileLogDigestValue, fileLog) &&
           matches(platform, entry.get(), kDirLogDigestValue, dirLog);
}

}  // namespace kestrova
