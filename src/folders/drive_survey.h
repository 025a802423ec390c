#pragma once
// The drives the folder page offers: fixed and removable ones, never A:
// (a floppy drive is no place to install to), with their free space.
#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace kestrova {

struct SurveyedDrive {
    char letter;             // upper case
    uint64_t freeMegabytes;  // of the whole disk, rounded down
};

constexpr std::size_t kMaxDrives = 26;

// Fills drives (room for capacity) in letter order and returns how many.
// A drive whose free space cannot be read (a removable drive without its
// medium) is listed with 0.
std::size_t surveyDrives(Platform& platform, SurveyedDrive* drives, std::size_t capacity);

}  // namespace kestrova
