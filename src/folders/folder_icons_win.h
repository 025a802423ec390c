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

// A new 16 x 16 image list with the two folders; the caller destroys it.
// Null when it cannot be made.
HIMAGELIST makeOwnFolderIcons();

}  // namespace kestrova
