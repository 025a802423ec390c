#pragma once
// Reading the two uninstall logs into what the uninstaller will remove.
// Every entry is put in its long form and checked against the
// RemovalGuard here; when the logs are not proven to be the setup's own,
// also against the AllowList. An edited log can then name nothing outside
// the product's own places, and no log anything the guard protects.
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

// Splits a log's bytes into its entries, in order, without their CR LF.
// Skips empty lines and "<NoneApp>" marker lines; counts in *skipped and
// leaves out lines longer than limit, lines holding a NUL byte and a last
// line without its line end (a write cut short names only a part of a path).
void splitLogEntries(const std::vector<char>& bytes, std::size_t limit,
                     std::vector<std::string>* entries, int* skipped);

struct UninstallPlan {
    std::vector<std::string> files;    // from the file log, in its order
    std::vector<std::string> folders;  // from the directory log, deepest first
    std::string logs[2];               // the directory log, then the file log
    std::string installFolder;         // removed last, when empty
    bool proven = false;               // both logs are the setup's own
    int skipped = 0;                   // lines unreadable or refused by the guard
    int kept = 0;                      // lines left alone: the logs were changed
};

// Reads both logs and keeps, in their long form, the entries the guard
// allows, and without proven logs only those the AllowList allows too.
// Folders are put longest first (the setup's own order, also when its run
// ended before it sorted them). A directory log that is missing gives no
// folders. The logs and the install folder are planned (not empty) when
// the guard allows them. False when the file log cannot be read whole: nothing is to
// be removed then.
bool planUninstall(Platform& platform, const UninstallPaths& paths, const RemovalGuard& guard,
                   UninstallPlan* plan);

}  // namespace kestrova
