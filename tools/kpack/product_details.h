#pragma once
// The product's facts for the system's list of programs (version,
// publisher, web page, icon): checked against what the setup reads, for
// the script's [Product] section (package/product_facts.h); and the icon
// checked to be one of the files the product installs, both when kpack
// builds a package and when it verifies one.
#include <string>
#include <vector>

#include "manifest.h"
#include "script_writer.h"

namespace kestrova::kpack {

// The facts of the manifest in GBK, each line checked (line limit, line
// breaks), and the icon checked to be a path of the setup that names one
// of records as installedFileProblem says. Throws KpackError naming the
// manifest's line and key. An empty text is a fact not given.
ScriptProduct planProductFacts(const Manifest& manifest, const std::vector<ScriptRecord>& records,
                               const std::vector<std::string>& clearFile);

// Why the icon (a target path, GBK) is not a file the installed product
// keeps, or "" when it is: the target of a file record (letter case aside)
// that is neither deleted after installing (run-and-delete, registry data,
// [ClearFile]) nor a <NoneApp> marker. The reason reads after the icon's
// path.
std::string installedFileProblem(const std::string& icon, const std::vector<ScriptRecord>& records,
                                 const std::vector<std::string>& clearFile);

}  // namespace kestrova::kpack
