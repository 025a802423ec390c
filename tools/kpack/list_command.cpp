#include <iomanip>
#include <ostream>

#include "commands.h"
#include "file_properties.h"
#include "gbk_codec.h"
#include "package/format.h"
#include "package_reader.h"
#include "setup_limits.h"
#include "stream_check.h"

namespace kestrova::kpack {
namespace {

const char* onOff(const std::string& option) {
    return !option.empty() && option[0] == '1' ? "on" : "off";
}

}  // namespace

std::string kindName(char kind, bool runAndDelete) {
    std::string name;
    switch (kind) {
        case format::kKindRunOrRegister:
            name = "run-or-register";
            break;
        case format::kKindRegistryData:
            name = "registry-data";
            break;
        case format::kKindNotLogged:
            name = "not-logged";
            break;
        default:
            name = "copy";
            break;
    }
    // A run-and-delete record's kind is not looked at, except "not logged".
    if (runAndDelete)
        return kind == format::kKindNotLogged ? "run-and-delete, not-logged" : "run-and-delete";
    return name;
}

void listPackage(const fs::path& path, const std::string& name, std::ostream& out) {
    PackageReader package(path, name);
    const ParsedScript& s = package.parsed();
    auto sizes = [&](const ParsedRecord& r, uint64_t* original) {
        const std::vector<uint8_t> packed = package.compressedStream(r);
        checkStream(r.codec, packed.data(), packed.size(), original, &package.dictionary());
    };

    out << name << ": " << package.fileSize() << " bytes (stub " << kPackageStart << ", package "
        << package.fileSize() - kPackageStart << ")\n";
    out << "header: script stream " << package.scriptStreamLength() << " bytes, "
        << package.headerFileCount() << " files"
        << (package.checksummed() ? ", CRC-32 checksums of every stream" : ", no checksums")
        << "\n";
    if (!package.dictionary().empty())
        out << "deflate dictionary: " << package.dictionary().size() << " bytes\n";
    uint64_t signatureAt = 0;
    uint32_t signatureSize = 0;
    if (package.signature(&signatureAt, &signatureSize))
        out << "signature: Authenticode, " << signatureSize << " bytes at " << signatureAt << "\n";
    out << "product: " << displayGbk(s.productName) << "\n";
    out << "install folder: " << displayGbk(s.installDir) << "\n";
    out << "options: licence page " << onOff(s.licenceOption) << ", uninstall "
        << onOff(s.uninstallOption) << "\n";
    const ScriptProduct& facts = s.product;
    if (!facts.version.empty()) out << "version: " << displayGbk(facts.version) << "\n";
    if (!facts.publisher.empty()) out << "publisher: " << displayGbk(facts.publisher) << "\n";
    if (!facts.url.empty()) out << "web page: " << displayGbk(facts.url) << "\n";
    if (!facts.icon.empty()) out << "icon: " << displayGbk(facts.icon) << "\n";
    FileProperties properties;
    if (readFileProperties(package.stubBytes(), &properties)) {
        out << "file properties: version " << properties.version[0] << "." << properties.version[1]
            << "." << properties.version[2] << "." << properties.version[3] << "\n";
        for (const auto& [key, value] : properties.strings)
            out << "  " << std::left << std::setw(16) << key << std::right << value << "\n";
    } else {
        out << "file properties: none\n";
    }
    out << "total size: " << s.totalSize << " bytes\n";
    out << "licence text: " << s.licenceLength << " bytes\n";

    int markers = 0;
    for (const ParsedRecord& r : s.records) markers += r.noneApp;
    out << "sections:\n"
        << "  [Directory]  " << s.directories.size() << " folders\n"
        << "  [File]       " << s.pictures.size() << " pictures, " << s.countedRecords()
        << " files, " << markers << " <NoneApp> markers\n"
        << "  [TotalSize]  " << s.totalSize << "\n"
        << "  [AutoReg]    " << s.autoReg.size() << " entries\n"
        << "  [ClearFile]  " << s.clearFile.size() << " entries\n"
        << "  [Menu]       group " << displayGbk(s.group) << ", " << s.shortcuts.size()
        << " shortcuts\n"
        << "  [Run]        "
        << (s.offersRun() ? displayGbk(s.runCaption) + ": " + displayGbk(s.runCommand)
                          : std::string("(none)"))
        << "\n";

    out << "directories:\n";
    for (const std::string& d : s.directories) out << "  " << displayGbk(d) << "\n";

    out << "pictures (" << pictureDensities() << "):\n";
    static const char* pictureNames[] = {"welcome", "splash", "title"};
    for (std::size_t i = 0; i < s.pictures.size(); ++i) {
        uint64_t original = 0;
        sizes(s.pictures[i], &original);
        out << "  " << std::left << std::setw(8) << pictureNames[i] << std::right;
        if (s.pictures[i].length == 0) {
            out << "  (none)\n";
        } else {
            out << " " << std::left << std::setw(12) << codecName(s.pictures[i].codec) << std::right
                << " packed " << std::setw(10) << s.pictures[i].length << "  original "
                << std::setw(10) << original << "\n";
        }
    }

    out << "files:\n  " << std::left << std::setw(28) << "kind" << std::setw(12) << "codec"
        << std::right << std::setw(12) << "packed" << std::setw(12) << "original"
        << "  target\n";
    for (const ParsedRecord& r : s.records) {
        if (r.noneApp) {
            out << "  " << format::kNoneAppMarker << "\n";
            continue;
        }
        uint64_t original = 0;
        sizes(r, &original);
        out << "  " << std::left << std::setw(28) << kindName(r.kind, r.runAndDelete)
            << std::setw(12) << codecName(r.codec) << std::right << std::setw(12) << r.length
            << std::setw(12) << original << "  " << displayGbk(r.target) << "\n";
    }
    for (const std::string& a : s.autoReg) out << "autoreg: " << displayGbk(a) << "\n";
    for (const std::string& c : s.clearFile) out << "clearfile: " << displayGbk(c) << "\n";
    for (const ParsedShortcut& sc : s.shortcuts) {
        out << "shortcut: " << displayGbk(sc.name) << " -> " << displayGbk(sc.target);
        if (!sc.arguments.empty()) out << " (arguments " << displayGbk(sc.arguments) << ")";
        if (sc.desktop) out << " +desktop";
        if (sc.startup) out << " +startup";
        out << "\n";
    }
}

}  // namespace kestrova::kpack
