#pragma once
// kpack list, extract and verify: reading a setup.exe. All three are safe on
// any damaged file; they report its first problem as a KpackError naming the
// file.
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "check_options.h"

namespace kestrova::kpack {

namespace fs = std::filesystem;

// Prints the header, the product, its folder and options, the sections and
// every record (target, kind, stored and original size) to out, in UTF-8.
void listPackage(const fs::path& path, const std::string& name, std::ostream& out);

// Writes the script (script.ini), the licence (licence.htm), the pictures
// (welcome.bmp, splash.bmp when there is one, title.bmp) and every file by
// its target path below folder, a path macro becoming a folder of its name
// ("[InstallDir]\a.txt" -> InstallDir/a.txt, "C:\x" -> C/x). A target that
// would lead outside the folder is an error, and nothing is written outside
// it. Returns the number of files written.
int extractPackage(const fs::path& path, const std::string& name, const fs::path& folder);

// Checks that the header's count matches the records, the sections the stub
// needs are there in order, every line is within its read limit, every
// stream lies inside the file and decodes, the pictures are bitmaps of
// their places' sizes, no two records share a target, every target fits
// Windows' path length, the registry data files hold what the setup stores
// (registry_rules.h) and the uninstaller is the real one, as the build
// checks them. Prints a one-line summary to out when all is well and
// returns the warnings (whole report lines: a picture of another size, a
// target too long for the default install folder); throws KpackError naming
// the first problem otherwise, or with options.strict the first warning.
std::vector<std::string> verifyPackage(const fs::path& path, const std::string& name,
                                       std::ostream& out, const CheckOptions& options = {});

// A record's kind as the manifest names it ("copy", "run-and-delete", ...).
std::string kindName(char kind, bool runAndDelete);

}  // namespace kestrova::kpack
