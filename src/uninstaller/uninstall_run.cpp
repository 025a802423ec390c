#include "uninstaller/uninstall_run.h"

#include <cstring>

#include "engine/gbk_text.h"
#include "platform/scoped_key.h"

namespace kestrova {
namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// True when a part of path below its drive's root ("X:\") that exists is a
// reparse point: a junction a user made inside the install folder would
// otherwise turn a logged path into one in the system folder. The checked
// removal catches a link put there after this look as well.
bool passesReparsePoint(Platform& platform, const std::string& path) {
    const char* begin = path.c_str();
    const char* end = begin + path.size();
    if (path.size() < 4) return false;
    for (const char* p = begin + 3;; p += gbkCharLength(p, end)) {
        if (p < end && *p != '\\') continue;
        const std::string part(begin, p);
        uint32_t attributes = platform.fileAttributes(part.c_str());
        if (attributes == kInvalidAttributes) return false;  // nothing further exists
        if (attributes & kAttributeReparsePoint) return true;
        if (p == end) return false;
    }
}

HandleRemoval remove(Platform& platform, const std::string& path, bool folder) {
    if (passesReparsePoint(platform, path)) return HandleRemoval::Elsewhere;
    return platform.removeThroughHandle(path.c_str(), folder);
}

}  // namespace

std::string uninstallKeyPath(const char* productName) {
    return std::string(kUninstallKey) + productName;
}

int uninstallSteps(const UninstallPlan& plan) {
    // Files, folders, two logs, the install folder, the registry entry.
    return static_cast<int>(plan.files.size() + plan.folders.size()) + 4;
}

UninstallOutcome runUninstall(Platform& platform, const UninstallPaths& paths,
                              const UninstallPlan& plan, UninstallProgress& progress) {
    UninstallOutcome outcome;
    const int total = uninstallSteps(plan);
    int step = 0;
    // A folder at a file's path is left alone (the log named a file) and
    // not reported.
    auto file = [&](const std::string& path) {
        switch (remove(platform, path, false)) {
            case HandleRemoval::Elsewhere:
                outcome.redirected.push_back(path);
                break;
            case HandleRemoval::Failed:
                outcome.notRemoved.push_back(path);
                break;
            default:
                break;
        }
    };
    // A folder that still holds something stays, silently: the user's own
    // files and the ones the setup was told not to log are kept.
    auto folder = [&](const std::string& path) {
        if (remove(platform, path, true) == HandleRemoval::Elsewhere)
            outcome.redirected.push_back(path);
    };

    for (const std::string& path : plan.files) {
        progress.onStep(step++, total, path.c_str());
        file(path);
    }
    for (const std::string& path : plan.folders) {
        progress.onStep(step++, total, path.c_str());
        folder(path);
    }
    // The logs last among the files: should the run be cut short, they
    // still name what is left.
    for (std::size_t i = 0; i < 2; ++i) {
        progress.onStep(step++, total, i == 0 ? paths.dirLog : paths.fileLog);
        if (!plan.logs[i].empty()) file(plan.logs[i]);
    }
    progress.onStep(step++, total, paths.installFolder);
    if (!plan.installFolder.empty()) folder(plan.installFolder);

    const std::string key = uninstallKeyPath(paths.productName);
    progress.onStep(step++, total, key.c_str());
    ScopedKey opened(platform);
    if (opened.open(kHkeyLocalMachine, key.c_str(), kKeyRead)) {
        opened.close();
        if (!platform.regDeleteKey(kHkeyLocalMachine, key.c_str()))
            outcome.notRemoved.push_back("HKEY_LOCAL_MACHINE\\" + key);
    }
    return outcome;
}

int uninstallExitCode(const UninstallPlan& plan, const UninstallOutcome& outcome) {
    return outcome.notRemoved.empty() && outcome.redirected.empty() && plan.kept == 0 ? 0 : 2;
}

}  // namespace kestrova
