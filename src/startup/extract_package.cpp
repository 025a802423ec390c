#include "startup/extract_package.h"

#include <cstring>

#include "package/format.h"
#include "package/package_check.h"
#include "package/package_header.h"
#include "package/script_header.h"
#include "package/script_reader.h"
#include "package/stream_checksums.h"
#include "resources/texts.h"
#include "state/bounded_text.h"

namespace kestrova {
namespace {

bool packageReadError(Platform& platform, const SetupState& state, WindowRef owner) {
    platform.messageBox(owner, texts::kPackageReadError, texts::kCaptionError, kMbOk);
    deleteTempFiles(platform, state);
    return false;
}

// The three picture records: welcome, splash (none when its length is 0)
// and title. A record missing from the script leaves an empty picture.
void unpackPictures(SetupState& state, LzssDecoder& decoder, File& script, File& package) {
    FileRecord record;
    if (!readFileRecord(script, state.packageOffset, &record)) record.length = 0;
    decoder.decodeStream(&package, state.welcomePicturePath, record.offset, record.length);

    if (!readFileRecord(script, state.packageOffset, &record)) record.length = 0;
    state.hasSoftPicture = false;
    if (record.length != 0) {
        decoder.decodeStream(&package, state.softPicturePath, record.offset, record.length);
        state.hasSoftPicture = true;
    }

    if (!readFileRecord(script, state.packageOffset, &record)) record.length = 0;
    decoder.decodeStream(&package, state.titlePicturePath, record.offset, record.length);
}

}  // namespace

void timeStamp(const LocalTime& time, char* buffer, std::size_t capacity) {
    char digits[80];
    char* out = digits;
    const unsigned parts[] = {time.year,   time.month,  time.day,         time.hour,
                              time.minute, time.second, time.milliseconds};
    for (unsigned part : parts) out = appendDecimal(out, part);
    *out = '\0';
    if (!copyText(buffer, capacity, digits) && capacity) buffer[0] = '\0';
}

bool makeTempNames(Platform& platform, SetupState& state) {
    char folder[kSystemPathSize];
    if (!platform.tempFolder(folder, sizeof folder)) folder[0] = '\0';
    std::size_t n = std::strlen(folder);
    char stamp[40];
    timeStamp(platform.localTime(), stamp, sizeof stamp);
    char prefix[kTextSize];
    if (!joinText(prefix, folder, n && folder[n - 1] == '\\' ? "~temp" : "\\~temp", stamp))
        return false;
    return joinText(state.scriptPath, prefix, ".ini") &&
           joinText(state.licencePath, prefix, "Doc.htm") &&
           joinText(state.welcomePicturePath, prefix, "Wel.Bmp") &&
           joinText(state.softPicturePath, prefix, "Soft.Bmp") &&
           joinText(state.titlePicturePath, prefix, "Title.Bmp");
}

void deleteTempFiles(Platform& platform, const SetupState& state) {
    const char* names[] = {state.scriptPath, state.licencePath, state.welcomePicturePath,
                           state.softPicturePath, state.titlePicturePath};
    for (const char* name : names)
        if (name[0]) platform.deleteFile(name);
}

bool extractPackage(Platform& platform, SetupState& state, LzssDecoder& decoder, WindowRef owner) {
    state.packageOffset = kPackageStart;
    state.currentStreamLength = 0;
    if (!makeTempNames(platform, state)) return packageReadError(platform, state, owner);
    if (!platform.modulePath(state.packagePath, kSystemPathSize))
        return packageReadError(platform, state, owner);

    if (!readPackageHeader(platform, state, decoder))
        return packageReadError(platform, state, owner);

    // Everything the install run will read is checked now, before the
    // licence and the pictures are unpacked: a truncated download is the
    // common case.
    // The package stays open for the pictures; the script is closed before
    // any error, since the error deletes it.
    File package = platform.openFile(state.packagePath, FileMode::Read);
    File script = platform.openFile(state.scriptPath, FileMode::Read);
    bool sound = packageIsSound(package, script, state) &&
                 checkStreamChecksums(platform, package, state) != ChecksumCheck::Damaged;
    script.close();
    if (!sound || !readScriptHeader(platform, state))
        return packageReadError(platform, state, owner);

    script = platform.openFile(state.scriptPath, FileMode::Read);
    if (!script) return packageReadError(platform, state, owner);
    seekSection(script, format::kSectionFile);
    unpackPictures(state, decoder, script, package);
    return true;
}

}  // namespace kestrova
