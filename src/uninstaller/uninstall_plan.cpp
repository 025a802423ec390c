#include "uninstaller/uninstall_plan.h"

#include <algorithm>
#include <cstring>

namespace kestrova {
namespace {

const char kNoneApp[] = "<NoneApp>";

}  // namespace

bool readLogEntries(Platform& platform, const char* path, std::size_t limit,
                    std::vector<std::string>* entries, int* skipped) {
    File log = platform.openFile(path, FileMode::Read);
    if (!log) return false;
    // Room for the longest entry, its CR LF and the NUL.
    std::vector<char> line(limit + 3);
    const int capacity = static_cast<int>(line.size());
    bool tooLong = false;  // inside a line that did not fit
    for (;;) {
        int n = log.readLine(line.data(), capacity);
        if (n < 0) break;
        bool complete = n > 0 && line[n - 1] == '\n';
        if (!complete) {
            // Either a line longer than the buffer, whose rest follows, or a
            // last line without its end: neither names a whole path.
            if (!tooLong) ++*skipped;
            tooLong = n == capacity - 1;
            continue;
        }
        if (tooLong) {  // the end of a line already skipped
            tooLong = false;
            continue;
        }
        std::size_t length = static_cast<std::size_t>(n) - 1;
        if (length > 0 && line[length - 1] == '\r') --length;
        if (length == 0 || std::strncmp(line.data(), kNoneApp, sizeof kNoneApp - 1) == 0) continue;
        if (length > limit || std::memchr(line.data(), '\0', length)) {
            ++*skipped;
            continue;
        }
        entries->emplace_back(line.data(), length);
    }
    return true;
}

bool planUninstall(Platform& platform, const UninstallPaths& paths, const RemovalGuard& guard,
                   UninstallPlan* plan) {
    *plan = UninstallPlan();
    std::vector<std::string> files, folders;
    if (!readLogEntries(platform, paths.fileLog, kFileLogEntryLimit, &files, &plan->skipped))
        return false;
    readLogEntries(platform, paths.dirLog, kDirLogEntryLimit, &folders, &plan->skipped);

    for (const std::string& file : files) {
        if (guard.mayRemove(file.c_str())) {
            plan->files.push_back(file);
        } else {
            ++plan->skipped;
        }
    }
    for (const std::string& folder : folders) {
        if (guard.mayRemove(folder.c_str())) {
            plan->folders.push_back(folder);
        } else {
            ++plan->skipped;
        }
    }
    // A folder's path is longer than its parent's, so longest first removes
    // every folder before the one that holds it; equal lengths keep the
    // later line first, as the setup's own sort does.
    std::reverse(plan->folders.begin(), plan->folders.end());
    std::stable_sort(
        plan->folders.begin(), plan->folders.end(),
        [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    return true;
}

}  // namespace kestrova
