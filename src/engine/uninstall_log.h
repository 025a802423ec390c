#pragma once
// The uninstall log: two plain GBK text files in the install folder that
// list what the installation created, for the separate uninstaller.
//   <installDir>\<productName>dir.ini   the folders, one per line
//   <installDir>\<productName>file.ini  the files and shortcuts, and
//                                       "<NoneApp>" marker lines
// Every entry ends in CR LF. Nothing is logged unless the uninstall option
// is "1".
#include "engine/user_port.h"
#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

enum class LogKind {
    Directory,  // state.dirLog
    File,       // state.fileLog
};

// Forms dirLogPath and fileLogPath from installDir and productName (the
// uninstaller registration needs them whatever the option) and, when the
// uninstall option is "1", opens both logs for binary writing, each
// beginning with the lines of an earlier log of the same name
// (earlier_logs.h). Called by the progress page before it starts the
// install run.
// Returns true when the run may start. With the option on, a path that does
// not fit or a log that cannot be opened is told to user (logCreateError),
// sets setupAborted, leaves no log open and returns false. With the
// option off nothing is opened and the result is true (paths that do not fit
// are left empty; nothing uses them then).
bool openUninstallLogs(Platform& platform, UserPort& user, SetupState& state);

// Appends text as it stands (no line end added) to the chosen log, only when
// the uninstall option is "1" and that log is open. Each write is flushed at
// once, so a setup that is killed leaves a log of everything made so far.
// Write errors are not reported.
void writeLog(SetupState& state, LogKind kind, const char* text);

// Appends text and CR LF to the chosen log as one entry, under the same
// conditions as writeLog, flushed once after the line end.
void writeLogLine(SetupState& state, LogKind kind, const char* text);

// Closes each log that is open.
void closeUninstallLogs(SetupState& state);

// Rewrites the (closed) directory log with each line once (letter case
// aside) and its lines sorted longest first;
// among lines of equal length the later one comes first, so deeper folders
// precede the folders that contain them. A line longer than 269 bytes counts
// as several entries; a last piece without a line end is dropped. Does
// nothing when the uninstall option is off, when the log cannot be read
// completely, or when it cannot be opened for writing: the log is emptied
// only when it can be written again.
void rewriteDirectoryLog(Platform& platform, SetupState& state);

}  // namespace kestrova
