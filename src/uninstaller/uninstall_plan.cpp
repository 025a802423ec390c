#include "uninstaller/uninstall_plan.h"

#include <algorithm>
#include <cstring>

#include "engine/log_digest.h"
#include "uninstaller/allow_list.h"
#include "uninstaller/folder_values.h"
#include "uninstaller/uninstall_proof.h"

namespace kestrova {
namespace {

const char kNoneApp[] = "<NoneApp>";

enum class Judgement { Remove, Refused, Kept };

}  // namespace

void splitLogEntries(const std::vector<char>& bytes, std::size_t limit,
                     std::vector<std::string>* entries, int* skipped) {
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        const char* newline = static_cast<const char*>(std::memchr(p, '\n', end - p));
        if (!newline) {  // a last line without its end
            ++*skipped;
            break;
        }
        std::size_t length = static_cast<std::size_t>(newline - p);
        if (length > 0 && p[length - 1] == '\r') --length;
        const char* line = p;
        p = newline + 1;
        if (length == 0 || (length >= sizeof kNoneApp - 1 &&
                            std::memcmp(line, kNoneApp, sizeof kNoneApp - 1) == 0))
            continue;
        if (length > limit || std::memchr(line, '\0', length)) {
            ++*skipped;
            continue;
        }
        entries->emplace_back(line, length);
    }
}

bool planUninstall(Platform& platform, const UninstallPaths& paths, const RemovalGuard& guard,
                   UninstallPlan* plan) {
    *plan = UninstallPlan();
    // Each log is read once: the bytes whose digest is checked are the
    // bytes that are parsed, whatever happens to the file meanwhile.
    std::vector<char> fileLog, dirLog;
    if (!readLogBytes(platform, paths.fileLog, &fileLog)) return false;
    if (!readLogBytes(platform, paths.dirLog, &dirLog)) dirLog.clear();
    plan->proven = logsProven(platform, paths.productName, fileLog, dirLog);

    AllowList allowList;
    if (!plan->proven) fillAllowList(platform, paths, guard, &allowList);

    // The long form of entry when it may be removed.
    auto judge = [&](const std::string& entry, bool folder, std::string* path) {
        std::string given = entry;
        if (given.size() > 4 && given.back() == '\\') given.pop_back();
        // The shape first: a long form is asked only of a plain full path.
        // Without its long form a short name could step around a protection.
        char buffer[kTextSize];
        if (!isPlainFullPath(given.c_str()) ||
            !platform.longPathName(given.c_str(), buffer, sizeof buffer))
            return Judgement::Refused;
        *path = buffer;
        if (!guard.mayRemove(path->c_str())) return Judgement::Refused;
        if (plan->proven) return Judgement::Remove;
        bool allowed =
            folder ? allowList.allowsFolder(path->c_str()) : allowList.allowsFile(path->c_str());
        return allowed ? Judgement::Remove : Judgement::Kept;
    };
    auto take = [&](const std::vector<std::string>& entries, bool folder,
                    std::vector<std::string>* planned) {
        std::string path;
        for (const std::string& entry : entries) {
            switch (judge(entry, folder, &path)) {
                case Judgement::Remove:
                    planned->push_back(path);
                    break;
                case Judgement::Refused:
                    ++plan->skipped;
                    break;
                case Judgement::Kept:
                    ++plan->kept;
                    break;
            }
        }
    };

    std::vector<std::string> files, folders;
    splitLogEntries(fileLog, kFileLogEntryLimit, &files, &plan->skipped);
    splitLogEntries(dirLog, kDirLogEntryLimit, &folders, &plan->skipped);
    take(files, false, &plan->files);
    take(folders, true, &plan->folders);
    // A folder's path is longer than its parent's, so longest first removes
    // every folder before the one that holds it; equal lengths keep the
    // later line first, as the setup's own sort does.
    std::reverse(plan->folders.begin(), plan->folders.end());
    std::stable_sort(
        plan->folders.begin(), plan->folders.end(),
        [](const std::string& a, const std::string& b) { return a.size() > b.size(); });

    // The logs and their folder are the product's by the command line that
    // named them; the guard still has the last word on them.
    const char* const logs[2] = {paths.dirLog, paths.fileLog};
    for (int i = 0; i < 2; ++i) {
        std::string path = longForm(platform, logs[i]);
        if (guard.mayRemove(path.c_str())) plan->logs[i] = path;
    }
    std::string folder = longForm(platform, paths.installFolder);
    if (guard.mayRemove(folder.c_str())) plan->installFolder = folder;
    return true;
}

}  // namespace kestrova
