#include "engine/uninstall_log.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/earlier_logs.h"
#include "package/format.h"
#include "state/bounded_text.h"

namespace kestrova {
namespace {

// One line of the directory log: a slice of the text read back.
using LogEntry = LogLine;

// The chosen log when entries are kept (the option is on and the log is
// open), else null.
File* activeLog(SetupState& state, LogKind kind) {
    if (!optionIsOn(state.uninstallOption)) return nullptr;
    File* file = kind == LogKind::Directory ? &state.dirLog : &state.fileLog;
    return file->isOpen() ? file : nullptr;
}

}  // namespace

bool openUninstallLogs(Platform& platform, UserPort& user, SetupState& state) {
    bool formed =
        joinText(state.dirLogPath, state.installDir, "\\", state.productName, "dir.ini") &&
        joinText(state.fileLogPath, state.installDir, "\\", state.productName, "file.ini");
    if (!formed) {
        // Never leave one path formed and the other stale from an earlier
        // attempt: both or neither.
        state.dirLogPath[0] = '\0';
        state.fileLogPath[0] = '\0';
    }
    if (!optionIsOn(state.uninstallOption)) return true;

    if (formed) {
        // Opening for writing empties the logs: what an earlier install
        // into this folder listed is read first and written again.
        EarlierLogs earlier;
        readEarlierLogs(platform, state, &earlier);
        state.dirLog = platform.openFile(state.dirLogPath, FileMode::Write);
        state.fileLog = platform.openFile(state.fileLogPath, FileMode::Write);
        if (state.dirLog.isOpen() && state.fileLog.isOpen()) {
            carryEarlierLogs(state, earlier);
            return true;
        }
    }
    closeUninstallLogs(state);
    user.logCreateError();
    state.setupAborted = true;
    return false;
}

void writeLog(SetupState& state, LogKind kind, const char* text) {
    File* file = activeLog(state, kind);
    if (!file) return;
    // The uninstaller relies on the logs: push every entry to the system at
    // once, so a setup that is killed half-way still leaves them complete up
    // to that point.
    file->write(text);
    file->flush();
}

void writeLogLine(SetupState& state, LogKind kind, const char* text) {
    File* file = activeLog(state, kind);
    if (!file) return;
    // One flush for the entry and its line end: a setup killed in between
    // cannot leave an entry without its CR LF.
    file->write(text);
    file->write("\r\n");
    file->flush();
}

void closeUninstallLogs(SetupState& state) {
    if (state.dirLog.isOpen()) state.dirLog.close();
    if (state.fileLog.isOpen()) state.fileLog.close();
}

void rewriteDirectoryLog(Platform& platform, SetupState& state) {
    if (!optionIsOn(state.uninstallOption) || state.dirLogPath[0] == '\0') return;

    std::vector<char> text;
    std::vector<LogEntry> entries;
    {
        File in = platform.openFile(state.dirLogPath, FileMode::Read);
        // A log that cannot be read is left as it is rather than emptied.
        if (!in.isOpen()) return;
        // Pieces of at most 269 bytes (a 270-byte line buffer); a longer
        // line becomes several entries. The uninstaller reads the log with
        // the same limit, so the pieces stay as they are.
        char line[format::kDirLogLineBuffer];
        int n;
        while ((n = in.readLine(line, sizeof line)) > 0) {
            entries.push_back(LogEntry{text.size(), static_cast<std::size_t>(n)});
            text.insert(text.end(), line, line + n);
        }
        if (std::ferror(in.stream())) return;
    }
    // Only a piece that ends the file without a line end lacks one: a longer
    // line is cut only where the buffer is full, and more bytes follow it.
    if (!entries.empty() && text[entries.back().offset + entries.back().length - 1] != '\n') {
        entries.pop_back();
    }
    // The lines an earlier install listed and this one listed again.
    removeRepeatedLines(text, &entries, false);

    // Shortest first, equal lengths in file order; written back from the last
    // entry, this gives longest first and, among equal lengths, the later line
    // first.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const LogEntry& a, const LogEntry& b) { return a.length < b.length; });

    File out = platform.openFile(state.dirLogPath, FileMode::Write);
    if (!out.isOpen()) return;
    for (std::size_t i = entries.size(); i-- > 0;) {
        out.write(text.data() + entries[i].offset, entries[i].length);
    }
    out.close();
}

}  // namespace kestrova
