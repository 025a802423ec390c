#pragma once
// Limits of the systems a setup runs on, checked alike when kpack builds a
// package and when it verifies one: one file per target (Windows compares
// names without regard to letter case), Windows' path length, and the
// sizes of the wizard's picture places.
#include <string>

namespace kestrova::kpack {

// The longest file path the setup can create: the ANSI file functions it
// calls take at most MAX_PATH (260) characters with the closing NUL. (Wine
// has no such limit, so a longer one installs there and fails on Windows.)
constexpr int kWindowsPathLimit = 259;

// The places of the welcome and title pictures at 96 dots per inch.
constexpr int kWelcomeWidth = 164, kWelcomeHeight = 314;
constexpr int kTitleWidth = 548, kTitleHeight = 64;

// The form under which two targets name the same file on Windows: ASCII
// letters in lower case, double-byte GBK characters as they are.
std::string sameFileKey(const std::string& gbkTarget);

struct PathLength {
    std::string problem;  // "" when the path fits; else it follows the field's name
    // Under [InstallDir], measured with the default install folder: the user
    // may choose a shorter one, so it is a warning rather than an error.
    bool installDir = false;
};

// Measures target (GBK) with its macro replaced as on a usual Windows
// (C:\Program Files, C:\Windows, C:\Windows\System32, a user's desktop,
// the all-users Start menu) and [InstallDir] by installDir, itself expanded
// the same way, against kWindowsPathLimit, in characters.
PathLength targetPathLength(const std::string& target, const std::string& installDir);

// How the setup draws the pictures at each display density, for list and
// verify: as they are at 96 and 120 dots per inch, stretched above.
std::string pictureDensities();

// What is wrong with a picture of width x height for the place of picture
// index (0 welcome, 2 title; the splash window, 1, takes any size), as it
// follows the picture's name in a warning; "" when it fits.
std::string picturePlaceProblem(int index, int width, int height);

}  // namespace kestrova::kpack
