#include "folders/drive_survey.h"

#include "folders/folder_paths.h"

namespace kestrova {

std::size_t surveyDrives(Platform& platform, SurveyedDrive* drives, std::size_t capacity) {
    const uint32_t present = platform.logicalDrives();
    std::size_t count = 0;
    // B: counts: it may be a removable drive of today.
    for (int n = 1; n < 26 && count < capacity; ++n) {
        if (!(present & (1u << n))) continue;
        const char root[4] = {static_cast<char>('A' + n), ':', '\\', '\0'};
        const int type = platform.driveType(root);
        if (type != kDriveFixed && type != kDriveRemovable) continue;
        uint64_t bytes = 0;
        if (!platform.diskFreeBytes(root, &bytes)) bytes = 0;
        drives[count++] = {root[0], wholeMegabytes(bytes)};
    }
    return count;
}

}  // namespace kestrova
