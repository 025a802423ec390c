#include "package_plan.h"

#include <algorithm>
#include <map>
#include <set>
#include <system_error>

#include "error.h"
#include "file_io.h"
#include "gbk_codec.h"
#include "path_rules.h"
#include "picture_convert.h"
#include "product_details.h"
#include "registry_rules.h"
#include "script_rules.h"
#include "setup_limits.h"

namespace kestrova::kpack {
namespace {

constexpr char kStartMenu[] = "[Start Menu]";

// Where a source the manifest names is missing: on Linux a '\' is part of
// a name, not a separator, so a path written as on Windows is not found.
std::string missingSourceHint(const std::string& label) {
#ifdef _WIN32
    (void)label;
    return "";
#else
    if (label.find('\\') == std::string::npos) return "";
    return ": write / between folders in a source ('\\' is part of a name here)";
#endif
}

class Planner {
  public:
    Planner(const Manifest& m, const CheckOptions& options) : m_(m), options_(options) {}

    PackagePlan run() {
        checkHeaderLines();
        plan_.script.firstLine = m_.firstLine.gbk;
        plan_.script.productName = m_.productName.gbk;
        plan_.script.installDir = m_.installDir.gbk;
        plan_.script.licencePage = m_.licencePage;
        plan_.script.uninstall = m_.uninstall;

        for (const ManifestText& d : m_.directories) {
            checkLine(d, kStartLineLimit);
            checkPath(d, PathUse::Folder);
            for (const std::string& f : foldersBelowRoot(d.gbk, false)) addDirectory(f, d);
            addDirectory(d.gbk, d);
        }

        addPicture(m_.welcomePicture, 0);
        if (m_.splashPicture) {
            addPicture(*m_.splashPicture, 1);
        } else {
            plan_.streams.push_back({});
        }
        addPicture(m_.titlePicture, 2);
        for (std::size_t i = 0; i < plan_.script.pictures.size(); ++i) {
            static const char* names[] = {"Wel.Bmp", "Soft.Bmp", "Title.Bmp"};
            plan_.script.pictures[i].target = names[i];  // not read by the setup
        }

        for (const ManifestEntry& e : m_.entries) addEntry(e);
        if (installedFiles_ == 0)
            fail(0, "the package installs no file; the setup needs at least one [[files]] record");

        if (m_.totalSize) {
            plan_.script.totalSize = *m_.totalSize;
        } else if (installedBytes_ > UINT32_MAX) {
            fail(0, "the installed files add up to " + std::to_string(installedBytes_) +
                        " bytes, past the 4294967295 that the setup's total size can hold");
        } else {
            plan_.script.totalSize = installedBytes_;
        }

        for (const ManifestText& t : m_.autoReg) {
            checkLine(t, kSecondPassLineLimit);
            checkPath(t, PathUse::File);
            if (!hasAutoRegExtension(t.gbk))
                fail(t.line, t.field +
                                 " has no three-letter extension after a dot; the setup "
                                 "would skip it (.exe runs, .dll and .ocx register)");
            plan_.script.autoReg.push_back(t.gbk);
        }
        for (const ManifestText& t : m_.clearFile) {
            checkLine(t, kSecondPassLineLimit);
            checkPath(t, PathUse::File);
            plan_.script.clearFile.push_back(t.gbk);
        }

        planMenu();
        if (m_.hasRun) {
            checkLine(m_.runCaption, kStartLineLimit);
            checkLine(m_.runCommand, kStartLineLimit);
            if (m_.runCaption.gbk.empty())
                fail(m_.runCaption.line, m_.runCaption.field + " is empty");
            if (m_.runCommand.gbk.empty())
                fail(m_.runCommand.line, m_.runCommand.field + " is empty");
            plan_.script.runCaption = m_.runCaption.gbk;
            plan_.script.runCommand = m_.runCommand.gbk;
        }

        plan_.script.product = planProductFacts(m_, plan_.script.records, plan_.script.clearFile);

        if (m_.licence) {
            const std::vector<uint8_t> bytes =
                readSource(m_.licence->path, m_.licence->text, m_.licence->line);
            plan_.script.licence.assign(bytes.begin(), bytes.end());
        }
        return std::move(plan_);
    }

  private:
    [[noreturn]] void fail(int line, const std::string& message) const {
        throw KpackError(m_.file, line, message);
    }

    // Something the setup would do otherwise than the publisher may expect
    // but may be meant: reported, or with --strict an error.
    void warn(int line, const std::string& message) {
        if (options_.strict) fail(line, message + " (--strict makes this warning an error)");
        plan_.warnings.push_back(KpackError(m_.file, line, "warning: " + message).report());
    }

    void check(const ManifestText& t, const std::string& problem) const {
        if (!problem.empty()) fail(t.line, t.field + " " + problem);
    }
    void checkLine(const ManifestText& t, int limit) const { check(t, lineProblem(t.gbk, limit)); }
    void checkPath(const ManifestText& t, PathUse use) const { check(t, pathProblem(t.gbk, use)); }

    void checkHeaderLines() const {
        checkLine(m_.firstLine, kStartLineLimit);
        checkLine(m_.productName, kStartLineLimit);
        // The product name names the uninstall logs and the uninstall key.
        if (const std::string problem = fileNameProblem(m_.productName.gbk); !problem.empty())
            fail(m_.productName.line, m_.productName.field + " " + problem +
                                          " (the product name names the uninstall logs and the "
                                          "uninstall entry)");
        checkLine(m_.installDir, kStartLineLimit);
        checkPath(m_.installDir, PathUse::Folder);
        const std::string root = pathRoot(m_.installDir.gbk);
        if (root == "[InstallDir]")
            fail(m_.installDir.line, m_.installDir.field + " cannot begin with [InstallDir]");
        if (root == m_.installDir.gbk)
            fail(m_.installDir.line, m_.installDir.field + " must name a folder below " + root);
    }

    // Adds a folder to [Directory] once, parents having been added first.
    void addDirectory(const std::string& folder, const ManifestText& origin) {
        if (!directorySet_.insert(folder).second) return;
        ManifestText line{folder, origin.field, origin.line};
        check(line, lineProblem(folder, kStartLineLimit));
        plan_.script.directories.push_back(folder);
    }

    // A source file: exists and is a file. Returns its size.
    uint64_t sourceSize(const fs::path& path, const std::string& label, int line) const {
        std::error_code ec;
        if (!fs::is_regular_file(path, ec))
            fail(line, "the source " + label +
                           (fs::exists(path, ec) ? " is not a file"
                                                 : " does not exist" + missingSourceHint(label)));
        const uint64_t size = fs::file_size(path, ec);
        if (ec) fail(line, "cannot read the source " + label + ": " + ec.message());
        return size;
    }

    // A source file that can be opened, opened in *file. Returns its size.
    uint64_t openSource(const fs::path& path, const std::string& label, int line,
                        InputFile* file) const {
        const uint64_t size = sourceSize(path, label, line);
        std::string error;
        if (!file->open(path, &error)) fail(line, "cannot read the source " + label + ": " + error);
        return size;
    }

    // A source file's bytes, checked as openSource checks it.
    std::vector<uint8_t> readSource(const fs::path& path, const std::string& label,
                                    int line) const {
        const uint64_t size = sourceSize(path, label, line);
        std::vector<uint8_t> bytes;
        std::string error;
        if (!appendWholeFile(path, size, &bytes, &error))
            fail(line, "cannot read the source " + label + ": " + error);
        return bytes;
    }

    // A picture is read and converted now, so that a picture kpack cannot
    // use stops the build before anything is compressed. One of another
    // size than its place is only a warning: the setup draws it unscaled,
    // cut off or leaving part of the place empty.
    void addPicture(const ManifestSource& s, int index) {
        const std::vector<uint8_t> source = readSource(s.path, s.text, s.line);
        StoredPicture picture;
        const std::string problem = makeStoredPicture(source, &picture);
        if (!problem.empty()) fail(s.line, s.field + ": " + s.text + " " + problem);
        const std::string place = picturePlaceProblem(index, picture.width, picture.height);
        if (!place.empty()) warn(s.line, s.field + ": " + s.text + " " + place);
        PlannedStream stream{s.path, picture.bytes.size(), s.text, s.line, std::nullopt};
        stream.bytes = std::move(picture.bytes);
        plan_.streams.push_back(std::move(stream));
    }

    void addEntry(const ManifestEntry& e) {
        if (e.type == ManifestEntry::Type::NoneApp) {
            ScriptRecord marker;
            marker.noneApp = true;
            plan_.script.records.push_back(marker);
            return;
        }
        if (e.type == ManifestEntry::Type::File) {
            checkTarget(e.target, e.kind);
            addFile(e, e.source.path, e.source.text, e.target);
            return;
        }
        // A folder: its tree, sorted by relative path, below the target.
        checkLine(e.target, kStartLineLimit);
        checkPath(e.target, PathUse::Folder);
        std::error_code ec;
        if (fs::is_regular_file(e.source.path, ec))
            fail(e.source.line, "the source folder " + e.source.text +
                                    " is a file: name one file with source = instead of folder =");
        if (!fs::is_directory(e.source.path, ec))
            fail(e.source.line, "the source folder " + e.source.text + " does not exist" +
                                    missingSourceHint(e.source.text));
        for (const std::string& f : foldersBelowRoot(e.target.gbk, true)) addDirectory(f, e.target);
        std::vector<std::pair<std::string, fs::path>> found;  // relative UTF-8 path, full path
        fs::recursive_directory_iterator it(e.source.path, ec), end;
        for (; !ec && it != end; it.increment(ec))
            found.emplace_back(it->path().lexically_relative(e.source.path).generic_u8string(),
                               it->path());
        if (ec)
            fail(e.source.line, "cannot list the folder " + e.source.text + ": " + ec.message());
        std::sort(found.begin(), found.end());
        const bool holdsFile = std::any_of(found.begin(), found.end(), [&](const auto& f) {
            return !fs::is_directory(f.second, ec);
        });
        if (!holdsFile && !options_.allowEmptyFolders)
            fail(e.source.line,
                 "the source folder " + e.source.text +
                     " holds no file, so nothing of it would be installed: list an empty "
                     "folder in [directories] create, or build with --allow-empty-folders");
        for (const auto& [relative, full] : found) {
            const std::string label = e.source.text + "/" + relative;
            std::string gbk;
            if (!utf8ToGbk(relative, &gbk))
                fail(e.source.line, "the file " + label + " has a name with no GBK form");
            std::replace(gbk.begin(), gbk.end(), '/', '\\');
            ManifestText target{e.target.gbk + "\\" + gbk, e.target.field + " (for " + label + ")",
                                e.target.line};
            if (fs::is_directory(full, ec)) {
                checkLine(target, kStartLineLimit);
                checkPath(target, PathUse::Folder);
                addDirectory(target.gbk, target);
            } else {
                checkTarget(target, e.kind);
                addFile(e, full, label, target);
            }
        }
    }

    void checkTarget(const ManifestText& t, FileKind kind) {
        checkLine(t, kStartLineLimit);
        if (t.gbk.find(format::kRunAndDeleteMark) != std::string::npos)
            fail(t.line, t.field + (kind == FileKind::RunAndDelete
                                        ? " holds '*', which the setup would read as a space"
                                        : " holds '*', which would make the setup run and "
                                          "delete the file"));
        checkPath(t, PathUse::File);
        if (t.gbk.size() > static_cast<std::size_t>(format::kRecordPathWidth))
            fail(t.line, t.field + " is " + std::to_string(t.gbk.size()) +
                             " bytes in GBK; a target path holds at most " +
                             std::to_string(format::kRecordPathWidth));
        const PathLength length = targetPathLength(t.gbk, m_.installDir.gbk);
        if (length.problem.empty()) return;
        if (length.installDir) {
            warn(t.line, t.field + " " + length.problem);
        } else {
            fail(t.line, t.field + " " + length.problem);
        }
    }

    // One file per target: a second record for a target would overwrite
    // the first file when installing.
    void checkSingleTarget(const ManifestText& target) {
        const auto [it, added] =
            targets_.emplace(sameFileKey(target.gbk), std::make_pair(target.field, target.line));
        if (added) return;
        fail(target.line, target.field + " " + displayGbk(target.gbk) + " is also the target of " +
                              it->second.first + " (line " + std::to_string(it->second.second) +
                              "); the second file would overwrite the first when installing: "
                              "give each file its own target");
    }

    void addFile(const ManifestEntry& e, const fs::path& source, const std::string& label,
                 const ManifestText& target) {
        checkSingleTarget(target);
        uint64_t size = 0;
        if (e.kind == FileKind::RegistryData) {
            const std::vector<uint8_t> bytes = readSource(source, label, e.source.line);
            size = bytes.size();
            int line = 0;
            const std::string problem = registryDataProblem(std::string(bytes.begin(), bytes.end()),
                                                            &line, options_.allowRegistryEscapes);
            if (!problem.empty()) throw KpackError(label, line, "registry data: " + problem);
        } else {
            InputFile probe;
            size = openSource(source, label, e.source.line, &probe);
        }
        for (const std::string& f : foldersBelowRoot(target.gbk, false)) addDirectory(f, target);

        ScriptRecord record;
        record.target = target.gbk;
        switch (e.kind) {
            case FileKind::Copy:
                record.kind = format::kKindCopy;
                break;
            case FileKind::RunOrRegister:
                record.kind = format::kKindRunOrRegister;
                break;
            case FileKind::RegistryData:
                record.kind = format::kKindRegistryData;
                break;
            case FileKind::NotLogged:
                record.kind = format::kKindNotLogged;
                break;
            case FileKind::RunAndDelete:
                record.kind = format::kKindCopy;
                record.runAndDelete = true;
                break;
        }
        plan_.script.records.push_back(record);
        plan_.streams.push_back({source, size, label, e.source.line, std::nullopt});
        ++installedFiles_;
        installedBytes_ += size;
    }

    void planMenu() {
        plan_.script.group = m_.group.gbk;
        // The group's folder receives the shortcuts and the uninstaller's
        // shortcut; the setup does not create folders for shortcuts itself.
        const bool groupUsed = !m_.shortcuts.empty() || m_.uninstall;
        checkLine(m_.group, kSecondPassLineLimit);
        if (groupUsed) {
            const ManifestText folder{std::string(kStartMenu) + "\\" + m_.group.gbk, m_.group.field,
                                      m_.group.line};
            if (m_.group.gbk.empty()) fail(m_.group.line, m_.group.field + " is empty");
            check(m_.group, pathProblem(folder.gbk, PathUse::Folder));
            for (const std::string& f : foldersBelowRoot(folder.gbk, true)) addDirectory(f, folder);
        }
        for (const ManifestShortcut& s : m_.shortcuts) {
            check(s.name, fileNameProblem(s.name.gbk));
            if (s.name.gbk.size() > static_cast<std::size_t>(format::kMenuNameWidth))
                fail(s.name.line, s.name.field + " is " + std::to_string(s.name.gbk.size()) +
                                      " bytes in GBK; a shortcut name holds at most " +
                                      std::to_string(format::kMenuNameWidth));
            if (s.target.gbk.find('/') != std::string::npos)
                fail(s.target.line, s.target.field +
                                        " holds '/', where the setup splits the "
                                        "target from its arguments");
            checkLine(s.target, kSecondPassLineLimit);
            checkPath(s.target, PathUse::File);
            checkLine(s.arguments, kSecondPassLineLimit);
            if (!s.arguments.gbk.empty() && s.arguments.gbk.back() == ' ')
                fail(s.arguments.line,
                     s.arguments.field + " ends in a space, which the setup drops");
            ScriptShortcut shortcut{s.name.gbk, s.target.gbk, s.arguments.gbk, s.desktop,
                                    s.startup};
            const std::size_t field =
                s.target.gbk.size() + (s.arguments.gbk.empty() ? 0 : 2 + s.arguments.gbk.size());
            if (field > static_cast<std::size_t>(format::kMenuTargetWidth))
                fail(s.line, "the target and arguments of this shortcut are " +
                                 std::to_string(field) +
                                 " bytes in GBK with the \" /\" between "
                                 "them; the target field holds at most " +
                                 std::to_string(format::kMenuTargetWidth));
            plan_.script.shortcuts.push_back(shortcut);
        }
    }

    const Manifest& m_;
    const CheckOptions& options_;
    PackagePlan plan_;
    std::set<std::string> directorySet_;
    // The targets so far by sameFileKey, with the field and line naming them.
    std::map<std::string, std::pair<std::string, int>> targets_;
    uint64_t installedBytes_ = 0;
    int installedFiles_ = 0;
};

}  // namespace

PackagePlan planPackage(const Manifest& manifest, const CheckOptions& options) {
    return Planner(manifest, options).run();
}

}  // namespace kestrova::kpack
