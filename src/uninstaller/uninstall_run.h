#pragma once
// The removal itself, in this order: the files and shortcuts of the file
// log, the folders of the directory log (each only when empty), the two
// logs, the install folder when empty, and the product's entry in the
// system's list of removable programs. Nothing stops it half way: what
// cannot be removed is collected for the final message.
#include <string>
#include <vector>

#include "platform/platform.h"
#include "uninstaller/uninstall_paths.h"
#include "uninstaller/uninstall_plan.h"

namespace kestrova {

// Told of every step before it is taken (the window's progress bar and
// path line).
class UninstallProgress {
  public:
    virtual ~UninstallProgress() = default;
    // step counts from 0 to total - 1; text is the path or key at hand.
    virtual void onStep(int step, int total, const char* text) = 0;
};

struct UninstallOutcome {
    // Files, logs and keys that are still there (in use, access denied).
    // Folders kept because they hold something are not listed: keeping
    // them is the rule, not a failure.
    std::vector<std::string> notRemoved;
    // Files and folders left alone because their path leads elsewhere
    // through a junction, symbolic link or mount point.
    std::vector<std::string> redirected;
};

// The number of steps runUninstall reports.
int uninstallSteps(const UninstallPlan& plan);

// Removes what plan names, then the product's key. A file already gone
// counts as removed, so a second run over the same logs is harmless. No
// entry is touched when a part of its path below the drive's root is a
// reparse point, and each is removed through a handle whose final path is
// the entry's (Platform::removeThroughHandle).
UninstallOutcome runUninstall(Platform& platform, const UninstallPaths& paths,
                              const UninstallPlan& plan, UninstallProgress& progress);

// The uninstaller's exit code after a run: 0 when everything planned went
// and no line was kept for changed logs, 2 otherwise.
int uninstallExitCode(const UninstallPlan& plan, const UninstallOutcome& outcome);

// The product's key under HKEY_LOCAL_MACHINE, as the setup registers it.
std::string uninstallKeyPath(const char* productName);

}  // namespace kestrova
