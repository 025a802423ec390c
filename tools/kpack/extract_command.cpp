#include <system_error>

#include "commands.h"
#include "error.h"
#include "file_io.h"
#include "gbk_codec.h"
#include "package_reader.h"
#include "path_rules.h"

namespace kestrova::kpack {
namespace {

// The folders a target's root becomes: "[InstallDir]" -> InstallDir,
// "[Absolute Directory]D:\" -> Absolute Directory/D, "D:\" -> D.
std::vector<std::string> rootFolders(const std::string& root) {
    if (root.back() == ']') return {root.substr(1, root.size() - 2)};
    const std::size_t close = root.find(']');
    if (close != std::string::npos) return {root.substr(1, close - 1), root.substr(close + 1, 1)};
    return {root.substr(0, 1)};
}

class Extractor {
  public:
    Extractor(PackageReader& package, const std::string& name, const fs::path& folder)
        : package_(package), name_(name), folder_(folder) {}

    void write(const fs::path& relative, const std::vector<uint8_t>& bytes) {
        const fs::path target = folder_ / relative;
        // Nothing may lead outside the folder, not even a link placed in it
        // beforehand.
        fs::path walk = folder_;
        std::error_code ec;
        for (const fs::path& part : relative.parent_path()) {
            walk /= part;
            if (fs::is_symlink(fs::symlink_status(walk, ec)))
                throw KpackError(name_, 0, "will not extract through the link " + pathToUtf8(walk));
            fs::create_directories(walk, ec);
            if (ec)
                throw KpackError(name_, 0,
                                 "cannot create " + pathToUtf8(walk) + ": " + ec.message());
        }
        if (fs::is_symlink(fs::symlink_status(target, ec)))
            throw KpackError(name_, 0, "will not extract over the link " + pathToUtf8(target));
        std::string error;
        if (!writeWholeFile(target, bytes.data(), bytes.size(), &error))
            throw KpackError(name_, 0, "cannot write " + pathToUtf8(target) + ": " + error);
    }

    fs::path targetPath(const ParsedRecord& r) const {
        const std::string problem = pathProblem(r.target, PathUse::File);
        if (!problem.empty())
            throw KpackError(name_, 0,
                             package_.describe(r) + " cannot be extracted: its target " + problem);
        fs::path relative;
        std::vector<std::string> parts = rootFolders(pathRoot(r.target));
        for (const std::string& n : namesBelowRoot(r.target)) parts.push_back(n);
        for (const std::string& part : parts) {
            std::string utf8;
            if (!gbkToUtf8(part, &utf8))
                throw KpackError(name_, 0,
                                 package_.describe(r) + " has a target that is not GBK text");
            relative /= pathFromUtf8(utf8);
        }
        return relative;
    }

  private:
    PackageReader& package_;
    const std::string& name_;
    fs::path folder_;
};

}  // namespace

int extractPackage(const fs::path& path, const std::string& name, const fs::path& folder) {
    PackageReader package(path, name);
    const ParsedScript& s = package.parsed();
    Extractor extractor(package, name, folder);

    // Check every target before the first write, so a damaged package
    // leaves nothing half-extracted because of its targets.
    std::vector<fs::path> targets;
    for (const ParsedRecord& r : s.records)
        if (!r.noneApp) targets.push_back(extractor.targetPath(r));

    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) throw KpackError(name, 0, "cannot create " + pathToUtf8(folder) + ": " + ec.message());
    extractor.write("script.ini",
                    std::vector<uint8_t>(package.script().begin(), package.script().end()));
    extractor.write("licence.htm", std::vector<uint8_t>(s.licence.begin(), s.licence.end()));
    static const char* pictureNames[] = {"welcome.bmp", "splash.bmp", "title.bmp"};
    for (std::size_t i = 0; i < s.pictures.size(); ++i) {
        if (i == 1 && s.pictures[i].length == 0) continue;  // no splash picture
        extractor.write(pictureNames[i], package.decodedStream(s.pictures[i]));
    }
    int files = 0;
    std::size_t k = 0;
    for (const ParsedRecord& r : s.records) {
        if (r.noneApp) continue;
        extractor.write(targets[k++], package.decodedStream(r));
        ++files;
    }
    return files;
}

}  // namespace kestrova::kpack
