#include "engine/uninstall_details.h"

#include <cstring>

#include "engine/path_macros.h"
#include "engine/uninstaller_registration.h"
#include "package/format.h"
#include "package/number_field.h"
#include "package/product_facts.h"
#include "package/script_reader.h"
#include "platform/scoped_key.h"
#include "state/bounded_text.h"

namespace kestrova {
namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

void setString(Platform& platform, RegKey key, const char* name, const char* text) {
    platform.regSetString(key, name, text, static_cast<uint32_t>(std::strlen(text)));
}

void setGivenString(Platform& platform, RegKey key, const char* name, const char* text) {
    if (text[0] != '\0') setString(platform, key, name, text);
}

// The script's [TotalSize] in bytes, read as the start-up reads it (an
// unsigned 32-bit number); 0 when there is none.
uint32_t scriptTotalSize(File& script) {
    if (!script.seek(0) || !seekSection(script, format::kSectionTotalSize)) return 0;
    char line[format::kLineBuffer];
    const int length = readTextLine(script, line);
    return static_cast<uint32_t>(parseDecimal(line, length < 0 ? 0 : length));
}

void putDigits(char* out, unsigned value, int digits) {
    for (int i = digits - 1; i >= 0; --i, value /= 10) out[i] = static_cast<char>('0' + value % 10);
}

}  // namespace

void formatInstallDate(const LocalTime& time, char out[9]) {
    putDigits(out, time.year % 10000u, 4);
    putDigits(out + 4, time.month % 100u, 2);
    putDigits(out + 6, time.day % 100u, 2);
    out[8] = '\0';
}

uint32_t kilobytesRoundedUp(uint32_t bytes) {
    return static_cast<uint32_t>((static_cast<uint64_t>(bytes) + 1023) / 1024);
}

bool formQuietUninstallCommand(Platform& platform, const SetupState& state, char* buffer,
                               std::size_t capacity) {
    // "/S" first, the way the uninstaller has always taken it; the log's
    // path is the rest of the line, spaces included.
    return formUninstallerCommandLine(platform, state, " /S ", buffer, capacity);
}

void writeUninstallDetails(Platform& platform, UserPort& user, const SetupState& state,
                           RegKey product) {
    ProductFacts facts;
    uint32_t totalSize = 0;
    if (File script = platform.openFile(state.scriptPath, FileMode::Read)) {
        readProductFacts(script, &facts);
        totalSize = scriptTotalSize(script);
    }
    setGivenString(platform, product, "DisplayVersion", facts.version);
    setGivenString(platform, product, "Publisher", facts.publisher);
    setGivenString(platform, product, "URLInfoAbout", facts.url);

    // The list shows the product's own icon, or the uninstaller's (the
    // setup's icon) when the package names none.
    char icon[kExpandedPathSize];
    bool haveIcon = false;
    if (facts.icon[0] != '\0' && copyText(icon, facts.icon)) {
        expandPathMacros(platform, user, state, icon);
        haveIcon = true;
    } else {
        char windows[kSystemPathSize];
        haveIcon = platform.windowsFolder(windows, sizeof windows) && windows[0] != '\0' &&
                   joinText(icon, windows, "\\", kUninstallerFileName);
    }
    if (haveIcon) setString(platform, product, "DisplayIcon", icon);

    setString(platform, product, "InstallLocation", state.installDir);
    char date[9];
    formatInstallDate(platform.localTime(), date);
    setString(platform, product, "InstallDate", date);
    platform.regSetDword(product, "EstimatedSize", kilobytesRoundedUp(totalSize));

    char quiet[kUninstallCommandSize + 3];
    if (formQuietUninstallCommand(platform, state, quiet, sizeof quiet))
        setString(platform, product, "QuietUninstallString", quiet);
    // The uninstaller only removes: the list offers no change or repair.
    platform.regSetDword(product, "NoModify", 1);
    platform.regSetDword(product, "NoRepair", 1);
}

bool readInstalledLocation(Platform& platform, const char* productName, char* folder,
                           std::size_t capacity) {
    if (capacity == 0) return false;
    folder[0] = '\0';
    char key[sizeof kUninstallKey + kTextSize];
    ScopedKey entry(platform);
    if (capacity < 2 || productName[0] == '\0' || !joinText(key, kUninstallKey, productName) ||
        !entry.open(kHkeyLocalMachine, key, kKeyRead))
        return false;
    // Room for a NUL after whatever the value holds.
    uint32_t size = static_cast<uint32_t>(capacity - 1);
    if (!platform.regQueryValue(entry.get(), "InstallLocation", folder, &size)) {
        folder[0] = '\0';
        return false;
    }
    folder[size < capacity ? size : capacity - 1] = '\0';
    return folder[0] != '\0';
}

}  // namespace kestrova
