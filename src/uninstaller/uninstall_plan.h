#pragma once
// Reading the two uninstall logs into what the uninstaller will remove.
// Every entry is checked against the RemovalGuard here, so a damaged or
// edited log can name nothing outside what a setup creates.
#include <string>
#include <vector>

#include "platform/platform.h"
#include "uninstaller/removal_guard.h"
#include "uninstaller/uninstall_paths.h"

namespace kestrova {

// The longest entry each log can hold whole. The setup writes file paths of
// up to a text field's length; it rewrites the directory log reading 269
// bytes at a time, which splits a longer folder line into pieces that name
// nothing real.
constexpr std::size_t kFileLogEntryLimit = kTextSize - 1;
constexpr std::size_t kDirLogEntryLimit = 267;

// Reads a log's entries in order, without their CR LF. Skips empty lines,
// "<NoneApp>" marker lines, lines longer than limit (counted in *skipped),
// lines holding a NUL byte and a last line without its line end (a write
// cut short names only a part of a path; both counted too). False when the
// file cannot be opened.
bool readLogEntries(Platform& platform, const char* path, std::size_t limit,
                    std::vector<std::string>* entries, int* skipped);

struct UninstallPlan {
    std::vector<std::string> files;    // from the file log, in its order
    std::vector<std::string> folders;  // from the directory log, deepest first
    int skipped = 0;                   // entries left alone as unreadable or unsafe
};

// Reads both logs and keeps the entries the guard allows; folders are put
// longest first (the setup's own order, also when its run ended before it
// sorted them). A directory log that is missing gives no folders. False
// when the file log cannot be opened: nothing is to be removed then.
bool planUninstall(Platform& platform, const UninstallPaths& paths, const RemovalGuard& guard,
                   UninstallPlan* plan);

}  // namespace kestrova
