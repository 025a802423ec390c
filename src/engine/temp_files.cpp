#include "engine/temp_files.h"

#include <cstring>

#include "state/bounded_text.h"

namespace kestrova {

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

}  // namespace kestrova
