#pragma once
// An install into a folder that already holds the product's uninstall logs
// (an upgrade, a reinstall, a run after one that was cut short) keeps their
// lines: the files and folders that only the earlier install made are in
// no other log, and without them nobody could remove those any more. The
// earlier lines go into the new logs before the run writes its own, so a
// run that is cut short loses nothing either; at the end of the run each
// path is left once.
#include <cstddef>
#include <vector>

#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

// A line of a log's text: its offset and length, the line end included.
struct LogLine {
    std::size_t offset;
    std::size_t length;
};

// The complete lines (each ending in CR LF) of both earlier logs, without
// "<NoneApp>" markers and empty lines, in their order.
struct EarlierLogs {
    std::vector<char> fileLines;
    std::vector<char> dirLines;
};

// Reads the logs at state.fileLogPath and state.dirLogPath, when they
// exist, before they are opened for writing. A log that cannot be read
// gives no lines; a last line without its line end is left out (a write cut
// short names only a part of a path).
void readEarlierLogs(Platform& platform, const SetupState& state, EarlierLogs* earlier);

// Appends the earlier lines to the open logs, with the same conditions as
// writeLog (uninstall_log.h), flushed at once.
void carryEarlierLogs(SetupState& state, const EarlierLogs& earlier);

// Removes from lines every line whose path appears again (letter case
// aside, as Windows names files; the line end aside): the last of equal
// lines stays when keepLast, else the first. "<NoneApp>" markers all stay.
// The other lines keep their order.
void removeRepeatedLines(const std::vector<char>& text, std::vector<LogLine>* lines, bool keepLast);

// Rewrites the closed file log with each path once, the last line of a path
// kept, so the run's own lines stay in the run's order after whatever only
// the earlier install had. Does nothing with the uninstall option off, when
// the log cannot be read, or when no path repeats.
void removeRepeatedFileLogLines(Platform& platform, SetupState& state);

}  // namespace kestrova
