#pragma once
// The folder tree's own icons, for a system whose shell gives no image list:
// a closed folder (image 0) and an open one (image 1), drawn here so that
// the stub carries no icon resources for them.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

namespace kestrova {

constexpr int kOwnFolderImage = 0;
constexpr int kOwnOpenFolderImage = 1;

// A new image list of size x size pixel images (the system's small icon
// size) with the two folders; the caller destroys it. Null when it cannot
// be made.
HIMAGELIST makeOwnFolderIcons(int size);

}  // namespace kestrova
