#pragma once
// RemovalGuard: the uninstaller's last word on every path it is about to
// remove, proven logs or not. A path is removed only when it has the shape
// of something a setup creates (a full path on a drive, no "." or ".."
// parts, no wildcards or stream names) and is not one of the system's own
// folders, nor anything inside the Windows or system folder other than a
// desktop or Start menu that lives there. Paths are judged as given: the
// caller hands them over in their long form, and the guard's own folders
// are put in theirs (guardSystemFolders), so a short 8.3 name cannot step
// around a protection written for the long one.
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kestrova {

class RemovalGuard {
  public:
    // The folder itself is never removed (files inside it may be).
    void protect(const char* folder);
    // Neither the folder nor anything inside it is removed...
    void seal(const char* folder);
    // ...except what lies inside one of these folders (a desktop or Start
    // menu inside the Windows folder, as older systems have them), which
    // opens a sealed folder only when it lies strictly inside it: never
    // when it is the sealed folder, holds it, or is a drive's root. The
    // folder itself is protected.
    void allowInside(const char* folder);

    // True when path may be removed. A path with one trailing '\' is
    // judged without it.
    bool mayRemove(const char* path) const;

    // True when folder is one of the guard's folders or holds one.
    bool holdsGuarded(const char* folder) const;

  private:
    std::vector<std::string> protected_;
    std::vector<std::string> sealed_;
    std::vector<std::string> allowed_;
};

// True when path is "X:\" followed by one or more non-empty parts, none of
// them "." or "..", none ending in a dot or a space (the system would drop
// them and name another file), without '/', ':', '*', '?', '"', '<', '>',
// '|' or control characters.
bool isPlainFullPath(const char* path);

// True when folder names path itself or a folder that contains it: whole
// parts compared, ASCII letters without regard to case, Chinese characters
// byte for byte.
bool isSameOrInside(const char* path, const char* folder);

// True when path lies inside folder and is not folder itself.
bool isStrictlyInside(const char* path, const char* folder);

// Fills the guard with this system's folders, each in its long form: the
// Windows and system folders (sealed), Program Files, the desktop, the
// Start menu, its Programs and Startup folders of all users and of the
// current user (protected; those inside the Windows folder allowed inside
// it).
void guardSystemFolders(Platform& platform, RemovalGuard* guard);

}  // namespace kestrova
