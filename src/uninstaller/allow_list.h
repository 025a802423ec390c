#pragma once
// AllowList: what the uninstaller may remove when the logs are not proven
// to be the setup's own (edited, or written by a setup that stored no
// digests): what lies inside the install folder, and the shapes of the
// setup's shortcuts: ".lnk" files directly in the desktop and Startup
// folders, a program group directly in the Programs folder and the ".lnk"
// files directly in it. Every other line of such logs is kept. Paths are
// judged in their long form, like the guard's.
#include <string>

#include "platform/platform.h"
#include "uninstaller/removal_guard.h"
#include "uninstaller/uninstall_paths.h"

namespace kestrova {

class AllowList {
  public:
    // The folders, each in its long form; a folder that is not a full path
    // below a drive's root opens nothing.
    void setInstallFolder(const std::string& folder) { install_ = usable(folder); }
    void setDesktop(const std::string& folder) { desktop_ = usable(folder); }
    void setPrograms(const std::string& folder) { programs_ = usable(folder); }
    void setStartup(const std::string& folder) { startup_ = usable(folder); }

    bool allowsFile(const char* path) const;
    bool allowsFolder(const char* path) const;

  private:
    static std::string usable(const std::string& folder);

    std::string install_, desktop_, programs_, startup_;
};

// Fills list from this system, every folder in its long form: the install
// folder of paths, unless it is or holds one of the guard's folders (a log
// put into C:\Users would otherwise open every user's files); the
// desktop; the Programs folder and the Startup folder as the setup forms
// them ("Common Programs", and in it the last part of "Common Startup").
void fillAllowList(Platform& platform, const UninstallPaths& paths, const RemovalGuard& guard,
                   AllowList* list);

}  // namespace kestrova
