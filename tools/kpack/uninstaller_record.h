#pragma once
// The uninstaller that a setup with the uninstall option registers: kpack
// ships it as one more file record, into the Windows folder (where the
// setup's uninstall entry and shortcut expect it; records there are not
// logged, so one product's uninstall never removes it from another's).
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "manifest.h"
#include "package_plan.h"

namespace kestrova::kpack {

namespace fs = std::filesystem;

// The record's target: "[Windows Directory]\Kestrova-UnInstall.exe".
std::string uninstallerTarget();

// Why bytes are not the uninstaller built with the stub, or "" when they
// are: a Windows program ("MZ" and "PE" headers) that is not a DLL and
// carries the uninstaller's manifest resource. The reason reads after the
// program's name: "is a DLL, not Kestrova-UnInstall.exe".
std::string uninstallerProblem(const std::vector<uint8_t>& bytes);

// With the manifest's uninstall option on, appends the uninstaller's record
// and stream to the plan (and its size to a computed total size), unless a
// record of the manifest already installs a file at that target. Throws
// KpackError naming the program (label) when it does not exist, cannot be
// read or is not the uninstaller (uninstallerProblem).
void addUninstaller(const Manifest& manifest, const fs::path& program, const std::string& label,
                    PackagePlan* plan);

}  // namespace kestrova::kpack
