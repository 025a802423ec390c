#pragma once
// The setup program's file properties: the version resource (VS_VERSIONINFO)
// that the stub carries. Explorer's Details tab, signing tools, package
// managers and virus scanners read its strings and version numbers. Its
// strings are fields of a fixed size (src/resources/stub_version.rc), so
// kpack writes the product's texts into the stub in place: the stub keeps
// its exact size and a signature made later covers them.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kestrova::kpack {

struct FileProperties {
    // (name, UTF-8 text) in the order they are written: ProductName,
    // ProductVersion, FileVersion, CompanyName, FileDescription,
    // LegalCopyright.
    std::vector<std::pair<std::string, std::string>> strings;
    uint16_t version[4] = {};  // the fixed file and product version
};

// The properties of a product: its name, its version (or words saying it
// has none) and its publisher (or none), each UTF-8. The fixed version is
// the version's leading numbers ("2.4.1 beta" gives 2.4.1.0), 0.0.0.0 when
// it begins with none.
FileProperties productProperties(const std::string& name, const std::optional<std::string>& version,
                                 const std::optional<std::string>& publisher);

// Writes properties into the version resource of stub (the stub's bytes).
// Returns "" when done, or when the stub carries no version resource (a
// stand-in stub; nothing is changed); otherwise what is wrong: a damaged
// resource, or a string longer than its field ("ProductName holds at most N
// characters"). Every string of properties must have its field.
std::string writeFileProperties(std::string* stub, const FileProperties& properties);

// The version resource of a stub's bytes, read back: every string of its
// string tables and the fixed file version. False when there is none or it
// is damaged.
bool readFileProperties(const std::string& stub, FileProperties* properties);

}  // namespace kestrova::kpack
