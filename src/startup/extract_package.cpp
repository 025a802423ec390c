#include "startup/extract_package.h"

#include <cstring>

#include "engine/script_header.h"
#include "package/format.h"
#include "package/package_check.h"
#include "package/package_header.h"
#include "package/script_reader.h"
#include "package/stream_checksums.h"
#include "state/bounded_text.h"

namespace kestrova {
namespace {

bool packageReadError(Platform& platform, UserPort& user, const SetupState& state) {
    user.packageReadError();
    deleteTempFiles(platform, state);
    return false;
}

// The three picture records: welcome, splash (none when its length is 0)
// and title. A record missing from the script leaves an empty picture.
void unpackPictures(SetupState& state, LzssDecoder& decoder, File& script, File& package) {
    FileRecord record;
    if (!readFileRecord(script, state.packageOffset, &record)) record.length = 0;
    decoder.decodeStream(&package, state.welcomePicturePath, record.offset, record.length,
                         record.codec);

    if (!readFileRecord(script, state.packageOffset, &record)) record.length = 0;
    state.hasSoftPicture = false;
    if (record.length != 0) {
        decoder.decodeStream(&package, state.softPicturePath, record.offset, record.length,
                             record.codec);
        state.hasSoftPicture = true;
    }

    if (!readFileRecord(script, state.packageOffset, &record)) record.length = 0;
    decoder.decodeStream(&package, state.titlePicturePath, record.offset, record.length,
                         record.codec);
}

}  // namespace

bool extractPackage(Platform& platform, UserPort& user, SetupState& state, LzssDecoder& decoder) {
    state.packageOffset = kPackageStart;
    state.currentStreamLength = 0;
    if (!makeTempNames(platform, state)) return packageReadError(platform, user, state);
    if (!platform.modulePath(state.packagePath, kSystemPathSize))
        return packageReadError(platform, user, state);

    if (!readPackageHeader(platform, state, decoder))
        return packageReadError(platform, user, state);

    // Everything the install run will read is checked now, before the
    // licence and the pictures are unpacked: a truncated download is the
    // common case. One opening of the script serves the check, the
    // checksums, the header and the pictures; it is closed before any
    // error, since the error deletes it.
    File package = platform.openFile(state.packagePath, FileMode::Read);
    File script = platform.openFile(state.scriptPath, FileMode::Read);
    bool sound = packageIsSound(package, script, state) &&
                 checkStreamChecksums(package, script, state) != ChecksumCheck::Damaged &&
                 readScriptHeader(platform, user, state, script) && script.seek(0);
    if (!sound) {
        script.close();
        return packageReadError(platform, user, state);
    }
    seekSection(script, format::kSectionFile);
    unpackPictures(state, decoder, script, package);
    return true;
}

}  // namespace kestrova
