#include "uninstaller/uninstall_run.h"

#include "platform/scoped_key.h"

namespace kestrova {
namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

bool isFolder(uint32_t attributes) {
    return attributes != kInvalidAttributes && (attributes & kAttributeDirectory) != 0;
}

// Deletes one file; false when it is still there afterwards. A folder at a
// file's path is left alone (the log named a file) and not reported.
bool removeFile(Platform& platform, const char* path) {
    uint32_t attributes = platform.fileAttributes(path);
    if (attributes == kInvalidAttributes || isFolder(attributes)) return true;
    // Read-only files refuse deletion; the setup installs them as they
    // came, so clear the attribute first.
    platform.setFileAttributes(path, kAttributeNormal);
    if (platform.deleteFile(path)) return true;
    return platform.fileAttributes(path) == kInvalidAttributes;
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
                              const UninstallPlan& plan, const RemovalGuard& guard,
                              UninstallProgress& progress) {
    UninstallOutcome outcome;
    const int total = uninstallSteps(plan);
    int step = 0;
    auto file = [&](const char* path) {
        progress.onStep(step++, total, path);
        if (!removeFile(platform, path)) outcome.notRemoved.push_back(path);
    };
    // A folder that still holds something stays, silently: the user's own
    // files and the ones the setup was told not to log are kept.
    auto folder = [&](const char* path) {
        progress.onStep(step++, total, path);
        if (isFolder(platform.fileAttributes(path))) platform.removeFolder(path);
    };

    for (const std::string& path : plan.files) file(path.c_str());
    for (const std::string& path : plan.folders) folder(path.c_str());

    // The logs last among the files: should the run be cut short, they
    // still name what is left. The file log was read, so its path is a
    // file the setup made; each is checked like any logged path all the same.
    for (const char* log : {paths.dirLog, paths.fileLog}) {
        if (guard.mayRemove(log)) {
            file(log);
        } else {
            progress.onStep(step++, total, log);
        }
    }
    progress.onStep(step++, total, paths.installFolder);
    if (guard.mayRemove(paths.installFolder) &&
        isFolder(platform.fileAttributes(paths.installFolder)))
        platform.removeFolder(paths.installFolder);

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

}  // namespace kestrova
