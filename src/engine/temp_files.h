#pragma once
// The five temporary files of a run: the unpacked script, the licence and
// the three pictures, under names that share one time-stamped prefix in the
// system's temporary folder. Their names live in SetupState; TempFiles is
// the one owner that deletes them. Start-up makes it and lends it to the
// wizard, whose destruction (after the worker has ended) removes them.
#include <cstddef>

#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

// The local time as decimal numbers without padding or separators: year,
// month, day, hour, minute, second, milliseconds (5 March 2004
// 09:07:03.045 gives "20043597345"). buffer needs 40 bytes.
void timeStamp(const LocalTime& time, char* buffer, std::size_t capacity);

// Sets the five temporary names: the temporary folder, "~temp" (after a
// backslash), the time stamp, then ".ini", "Doc.htm", "Wel.Bmp", "Soft.Bmp",
// "Title.Bmp". False when the names do not fit their fields.
bool makeTempNames(Platform& platform, SetupState& state);

// Deletes the five temporary files (those that exist).
void deleteTempFiles(Platform& platform, const SetupState& state);

class TempFiles {
  public:
    TempFiles(Platform& platform, const SetupState& state) : platform_(platform), state_(state) {}
    TempFiles(const TempFiles&) = delete;
    TempFiles& operator=(const TempFiles&) = delete;
    // Whoever holds the owner last: the files do not outlive the run.
    ~TempFiles() { remove(); }

    // Deletes the files that exist; again later, deletes nothing more.
    void remove() { deleteTempFiles(platform_, state_); }

  private:
    Platform& platform_;
    const SetupState& state_;
};

}  // namespace kestrova
