#pragma once
// The publisher's manifest (TOML, UTF-8): what it says, with every text
// converted to GBK and every value's line kept for error messages. The keys
// are documented in README.md. Texts may use {product} and {version}, which
// stand for product.name and product.version; no other braces expand.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kestrova::kpack {

namespace fs = std::filesystem;

// A text of the manifest in GBK, with where it came from.
struct ManifestText {
    std::string gbk;
    std::string field;  // its key, such as "product.name" or "files[2].target"
    int line = 0;
};

// A source file or folder named by the manifest.
struct ManifestSource {
    fs::path path;     // resolved against the manifest's folder
    std::string text;  // as written, for messages
    std::string field;
    int line = 0;
};

enum class FileKind { Copy, RunOrRegister, RegistryData, NotLogged, RunAndDelete };

struct ManifestEntry {
    enum class Type { File, Folder, NoneApp };
    Type type = Type::File;
    ManifestSource source;  // a file, or a folder copied recursively
    ManifestText target;    // the file's target path, or the folder that receives the tree
    FileKind kind = FileKind::Copy;
    int line = 0;
};

struct ManifestShortcut {
    ManifestText name;
    ManifestText target;
    ManifestText arguments;
    bool desktop = false;
    bool startup = false;
    int line = 0;
};

struct Manifest {
    std::string file;  // the manifest's path as given, for messages
    fs::path folder;   // sources are relative to it

    ManifestText firstLine;
    ManifestText productName;
    ManifestText installDir;
    std::optional<ManifestText> version;  // {version}, the uninstall entry, file properties
    std::optional<ManifestText> publisher;
    std::optional<ManifestText> url;   // the product's web page, for the list of programs
    std::optional<ManifestText> icon;  // a target path of one of the product's files
    std::optional<ManifestSource> licence;
    bool licencePage = false;
    bool uninstall = true;
    std::optional<uint64_t> totalSize;
    int totalSizeLine = 0;
    bool deflate = false;  // product.compression = "deflate"

    ManifestSource welcomePicture;
    std::optional<ManifestSource> splashPicture;
    ManifestSource titlePicture;

    std::vector<ManifestText> directories;
    std::vector<ManifestEntry> entries;
    std::vector<ManifestText> autoReg;
    std::vector<ManifestText> clearFile;

    ManifestText group;
    std::vector<ManifestShortcut> shortcuts;

    bool hasRun = false;
    ManifestText runCaption;
    ManifestText runCommand;
};

// Reads the manifest at path (displayName in messages). Throws KpackError
// naming the file and line for text that is not UTF-8, a syntax error (with
// its column and likely cause), an unknown key (with the known key it
// nearly spells), a value of the wrong type, a missing required key, a text
// with no GBK form (the message names the field and the character), a
// path whose backslash TOML read as an escape, or a {version} without a
// product.version. Widths, paths and sources are checked later
// (package_plan.h).
Manifest readManifest(const fs::path& path, const std::string& displayName);

// The same, from the manifest's text; sources are resolved against folder.
Manifest parseManifest(const std::string& text, const std::string& displayName,
                       const fs::path& folder);

}  // namespace kestrova::kpack
