#include "engine/uninstaller_registration.h"

#include <cstring>

#include "engine/log_digest.h"
#include "engine/uninstall_details.h"
#include "package/format.h"
#include "platform/scoped_key.h"
#include "state/bounded_text.h"

namespace kestrova {
namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

void setString(Platform& platform, RegKey key, const char* name, const char* text) {
    platform.regSetString(key, name, text, static_cast<uint32_t>(std::strlen(text)));
}

}  // namespace

bool formUninstallerCommandLine(Platform& platform, const SetupState& state, const char* between,
                                char* buffer, std::size_t capacity) {
    if (capacity == 0) return false;
    buffer[0] = '\0';
    char windows[kSystemPathSize];
    if (!platform.windowsFolder(windows, sizeof windows) || windows[0] == '\0') return false;
    if (joinText(buffer, capacity, windows, "\\", kUninstallerFileName, between) &&
        appendText(buffer, capacity, state.fileLogPath))
        return true;
    buffer[0] = '\0';
    return false;
}

bool formUninstallCommand(Platform& platform, const SetupState& state, char* buffer,
                          std::size_t capacity) {
    // No quotes: the uninstaller reads the whole rest of its command line,
    // spaces included, as the file log's path.
    return formUninstallerCommandLine(platform, state, " ", buffer, capacity);
}

void registerUninstaller(Platform& platform, UserPort& user, const SetupState& state) {
    char command[kUninstallCommandSize];
    bool haveCommand = formUninstallCommand(platform, state, command, sizeof command);

    ScopedKey parent(platform);
    if (!parent.open(kHkeyLocalMachine, kUninstallKey, kKeyWrite)) {
        user.registryWriteError();
        return;
    }
    // An empty product name would put the values on the Uninstall key
    // itself, and an entry without the uninstaller's folder could not work.
    if (optionIsOn(state.uninstallOption) && state.productName[0] != '\0' && haveCommand) {
        // An entry left by an earlier install goes first: a value the new
        // version no longer gives (its publisher, say) must not stay.
        char entry[sizeof kUninstallKey + kTextSize];
        if (joinText(entry, kUninstallKey, "\\", state.productName))
            platform.regDeleteKey(kHkeyLocalMachine, entry);
        ScopedKey product(platform);
        if (product.create(parent.get(), state.productName)) {
            setString(platform, product.get(), "DisplayName", state.productName);
            setString(platform, product.get(), "UninstallString", command);
            writeUninstallDetails(platform, user, state, product.get());
        }
    }
}

void registerLogDigests(Platform& platform, const SetupState& state) {
    if (!optionIsOn(state.uninstallOption) || state.productName[0] == '\0') return;
    char key[sizeof kUninstallKey + kTextSize];
    ScopedKey product(platform);
    // Only an entry the registration made gets them: a new key here would
    // be an entry without a command.
    if (!joinText(key, kUninstallKey, "\\", state.productName) ||
        !product.open(kHkeyLocalMachine, key, kKeyWrite))
        return;
    const struct {
        const char* log;
        const char* value;
    } logs[] = {{state.fileLogPath, kFileLogDigestValue}, {state.dirLogPath, kDirLogDigestValue}};
    std::vector<char> bytes;
    char digest[kDigestTextSize];
    for (const auto& log : logs) {
        if (readLogBytes(platform, log.log, &bytes) &&
            logDigestText(platform, bytes.data(), bytes.size(), digest))
            setString(platform, product.get(), log.value, digest);
    }
}

}  // namespace kestrova
