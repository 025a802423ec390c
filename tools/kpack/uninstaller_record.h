#pragma once
// The uninstaller that a setup with the uninstall option registers: kpack
// ships it as one more file record, into the Windows folder (where the
// setup's uninstall entry and shortcut expect it; records there are not
// logged, so one product's uninstall never removes it from another's).
#include <filesystem>
#include <string>

#include "manifest.h"
#include "package_plan.h"

namespace kestrova::kpack {

namespace fs = std::filesystem;

// The record's target: "[Windows Directory]\Kestrova-UnInstall.exe".
std::string uninstallerTarget();

// With the manifest's uninstall option on, appends the uninstaller's record
// and stream to the plan (and its size to a computed total size), unless a
// record of the manifest already installs a file at that target. Throws
// KpackError naming the program (label) when it cannot be read or is not a
// Windows program.
void addUninstaller(const Manifest& manifest, const fs::path& program, const std::string& label,
                    PackagePlan* plan);

}  // namespace kestrova::kpack
