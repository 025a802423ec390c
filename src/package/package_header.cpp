#include "package/package_header.h"

#include <cstdint>

#include "package/format.h"
#include "package/number_field.h"

namespace kestrova {

bool readPackageHeader(Platform& platform, SetupState& state, LzssDecoder& decoder) {
    File package = platform.openFile(state.packagePath, FileMode::Read);
    if (!package) return false;

    // Zero-filled, so that bytes the file does not have end the fields.
    char header[format::kPackageHeaderSize] = {};
    if (package.seek(state.packageOffset)) package.read(header, sizeof header);
    const int32_t scriptLength = parseNumberField(header + format::kHeaderScriptLength);
    state.fileCount = parseNumberField(header + format::kHeaderFileCount);
    state.dictionaryLength = headerDictionaryLength(header + format::kHeaderFileCount);

    // 32-bit positions are added as unsigned numbers: they wrap instead of
    // overflowing, and a wrapped (negative) position cannot be sought.
    const uint32_t base = static_cast<uint32_t>(state.packageOffset);
    const uint32_t scriptStart = base + static_cast<uint32_t>(format::kPackageHeaderSize);
    decoder.decodeStream(&package, state.scriptPath, static_cast<int32_t>(scriptStart),
                         scriptLength);
    state.packageOffset = static_cast<int32_t>(base + static_cast<uint32_t>(scriptLength));
    return true;
}

int32_t headerDictionaryLength(const char* field) {
    if (field[format::kHeaderDictionaryNul] != '\0') return 0;
    int32_t length = 0;
    int i = format::kHeaderDictionaryNul + 1;
    for (; i < format::kNumberFieldWidth && field[i] >= '0' && field[i] <= '9'; ++i) {
        length = length * 10 + (field[i] - '0');
        if (length > format::kMaxDictionary) return 0;
    }
    for (int pad = i; pad < format::kNumberFieldWidth; ++pad)
        if (field[pad] != ' ') return 0;
    return i > format::kHeaderDictionaryNul + 1 ? length : 0;
}

}  // namespace kestrova
