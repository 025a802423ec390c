#pragma once
// The removal itself, in this order: the files and shortcuts of the file
// log, the folders of the directory log (each only when empty), the two
// logs, the install folder when empty, and the product's entry in the
// system's list of removable programs. Nothing stops it half way: what
// cannot be removed is collected for the final message.
#include <string>
#include <vector>

#include "platform/platform.h"
#include "uninstaller/removal_guard.h"
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
};

// The number of steps runUninstall reports.
int uninstallSteps(const UninstallPlan& plan);

// Removes what plan and paths name. A file already gone counts as removed,
// so a second run over the same logs is harmless. The read-only attribute
// of each file is cleared before it is deleted. The logs, the install
// folder and the product's key are removed only when the guard allows
// their paths.
UninstallOutcome runUninstall(Platform& platform, const UninstallPaths& paths,
                              const UninstallPlan& plan, const RemovalGuard& guard,
                              UninstallProgress& progress);

// The product's key under HKEY_LOCAL_MACHINE, as the setup registers it.
std::string uninstallKeyPath(const char* productName);

}  // namespace kestrova
