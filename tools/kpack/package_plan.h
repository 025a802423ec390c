#pragma once
// From a manifest to a plan of the package: every text checked against what
// the setup reads, folders expanded into file records (sorted, so the output
// is reproducible), the folders to create listed parents first, and the
// streams to compress in package order.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "check_options.h"
#include "manifest.h"
#include "script_writer.h"

namespace kestrova::kpack {

namespace fs = std::filesystem;

// One stream of the package: the three pictures first, then one per counted
// file record, in record order.
struct PlannedStream {
    fs::path source;    // empty for an absent splash picture (an empty stream)
    uint64_t size = 0;  // the source's size when it was planned
    std::string label;  // the source as the manifest names it, for messages
    int line = 0;       // the manifest line that names it
    // A picture's stored form, made at planning; stored instead of source.
    std::optional<std::vector<uint8_t>> bytes;
};

struct PackagePlan {
    ScriptContent script;                // stream offsets and lengths still 0
    std::vector<PlannedStream> streams;  // kPictureRecordCount pictures, then the records'
    // Things that do not stop the build but that the publisher should
    // know, each a whole "kpack: FILE:LINE: warning: ..." line.
    std::vector<std::string> warnings;
};

// Checks the manifest and makes the plan. Throws KpackError naming the
// manifest's file and line, or a registry data file and its line, for the
// first problem: a text over its width or line limit after conversion, a
// section line or "<NoneApp>" where the setup would misread it, a path the
// setup cannot use or Windows would refuse as too long, two files for one
// target, a missing or unreadable source, a folder source without files
// (unless options allow it), registry data the setup would store otherwise
// than regedit (registry_rules.h), a picture that is neither PNG nor BMP or
// cannot be converted, a package without any file record, a total size past
// 32 bits. A picture of the wrong size and a target too long for the
// default install folder are warnings, or with options.strict errors.
// Pictures are converted here to the form the setup draws
// (picture_convert.h).
PackagePlan planPackage(const Manifest& manifest, const CheckOptions& options = {});

}  // namespace kestrova::kpack
