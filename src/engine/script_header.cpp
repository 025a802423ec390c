#include "engine/script_header.h"

#include "engine/path_macros.h"
#include "package/format.h"
#include "package/number_field.h"
#include "package/script_reader.h"
#include "state/bounded_text.h"

namespace kestrova {

bool copyFileTail(Platform& platform, UserPort& user, File& source, const char* targetPath,
                  int64_t start, int64_t count) {
    File target = platform.openFile(targetPath, FileMode::Write);
    bool written = target.isOpen();
    if (written && count > 0 && source.seek(start)) {
        char block[1000];
        while (count > 0) {
            std::size_t want = count < static_cast<int64_t>(sizeof block)
                                   ? static_cast<std::size_t>(count)
                                   : sizeof block;
            std::size_t got = source.read(block, want);
            if (got == 0) break;
            if (!target.write(block, got)) {
                written = false;
                break;
            }
            count -= static_cast<int64_t>(got);
        }
    }
    // A write that fails (a full disk) is shown like a failed creation:
    // the file is not what it should be either way.
    written = target.close() && written;
    if (!written) {
        user.fileCreateError(targetPath);
        return false;
    }
    return true;
}

namespace {

// Keeps only the first character of an option line (lines 4 and 5); an
// empty line gives an empty option.
void readOption(File& script, char* option) {
    char line[format::kOptionLineBuffer];
    readTextLine(script, line);
    option[0] = line[0];
    option[1] = '\0';
}

void readText(File& script, char* field, std::size_t capacity) {
    char line[format::kLineBuffer];
    readTextLine(script, line);
    // A line read with this buffer always fits a text field.
    static_assert(format::kLineBuffer <= kTextSize, "script lines fit the state's texts");
    copyText(field, capacity, line);
}

}  // namespace

bool readScriptHeader(Platform& platform, UserPort& user, SetupState& state) {
    File script = platform.openFile(state.scriptPath, FileMode::Read);
    return readScriptHeader(platform, user, state, script);
}

bool readScriptHeader(Platform& platform, UserPort& user, SetupState& state, File& script) {
    if (!script) return false;

    char line[format::kLineBuffer];
    script.seek(0);
    seekSection(script, format::kSectionTotalSize);
    int length = readTextLine(script, line);
    // The size in bytes is taken as an unsigned number, so sizes up to
    // 4 GB - 1 give their kilobytes.
    state.totalSizeKb = static_cast<uint32_t>(parseDecimal(line, length < 0 ? 0 : length)) >> 10;
    readTextLine(script, line);
    readTextLine(script, line);
    const int64_t licenceLength = parseNumberField(line);

    // The licence text is the script's tail. A length that is negative or
    // longer than the script cannot be a tail of it: the licence is empty
    // then, rather than read from before the start of the file.
    const int64_t scriptLength = script.size();
    int64_t count = licenceLength;
    if (count < 0 || scriptLength < 0 || count > scriptLength) count = 0;
    copyFileTail(platform, user, script, state.licencePath, scriptLength - count, count);

    script.seek(0);
    readTextLine(script, line);  // line 1 is not used
    readText(script, state.productName, sizeof state.productName);
    readText(script, state.installDir, sizeof state.installDir);
    readOption(script, state.licenceOption);
    readOption(script, state.uninstallOption);

    expandPathMacros(platform, user, state, state.installDir);
    return true;
}

}  // namespace kestrova
