#include "setup_limits.h"

#include <cstring>

#include "gbk_codec.h"
#include "layout/size_set.h"

namespace kestrova::kpack {
namespace {

struct MacroFolder {
    const char* macro;
    const char* folder;
};

// The folders of a Windows 10 or 11 system on drive C:, which a setup
// reaches through the ANSI functions in these forms.
constexpr MacroFolder kTypicalFolders[] = {
    {"[Program Files]", "C:\\Program Files"},
    {"[Windows Directory]", "C:\\Windows"},
    {"[Windows System]", "C:\\Windows\\System32"},
    {"[Windows Desktop]", "C:\\Users\\Public\\Desktop"},  // a user name of six letters
    {"[Start Menu]", "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
    {"[Absolute Directory]", ""},
};

// The typical folder of path's leading macro (not [InstallDir]), or null.
const MacroFolder* typicalFolder(const std::string& path) {
    for (const MacroFolder& m : kTypicalFolders)
        if (path.compare(0, std::strlen(m.macro), m.macro) == 0) return &m;
    return nullptr;
}

// path with a leading macro other than [InstallDir] replaced.
std::string expandTypical(const std::string& path) {
    const MacroFolder* m = typicalFolder(path);
    return m ? m->folder + path.substr(std::strlen(m->macro)) : path;
}

// Characters of a GBK text as Windows counts them: every GBK character is
// one UTF-16 unit.
int characters(const std::string& gbk) {
    std::string utf8;
    if (!gbkToUtf8(gbk, &utf8)) return static_cast<int>(gbk.size());
    int n = 0;
    for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

}  // namespace

std::string sameFileKey(const std::string& gbkTarget) {
    std::string key = gbkTarget;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(key[i]);
        if (c >= 0x81 && c <= 0xFE) {
            ++i;  // the second byte of a double-byte character
        } else if (c >= 'A' && c <= 'Z') {
            key[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return key;
}

PathLength targetPathLength(const std::string& target, const std::string& installDir) {
    static const std::string kInstallDir = "[InstallDir]";
    PathLength result;
    std::string folder, where;
    std::size_t macroLength = 0;
    if (target.compare(0, kInstallDir.size(), kInstallDir) == 0) {
        folder = expandTypical(installDir);
        macroLength = kInstallDir.size();
        where = " once [InstallDir] is the default install folder " + displayGbk(folder);
        result.installDir = true;
    } else if (const MacroFolder* m = typicalFolder(target)) {
        folder = m->folder;
        macroLength = std::strlen(m->macro);
        if (!folder.empty()) where = std::string(" once ") + m->macro + " is " + folder;
    }
    const int length = characters(folder + target.substr(macroLength));
    if (length <= kWindowsPathLimit) return result;
    result.problem = "is " + std::to_string(length) + " characters long" + where +
                     "; Windows refuses a file path over " + std::to_string(kWindowsPathLimit) +
                     " characters to the setup's file functions";
    result.problem += result.installDir ? ", so the install fails unless the user chooses a "
                                          "shorter folder: shorten the path or "
                                          "product.install_dir"
                                        : ": shorten the path";
    return result;
}

std::string picturePlaceProblem(int index, int width, int height) {
    const bool welcome = index == 0;
    if (index != 0 && index != 2) return "";
    const int w = welcome ? kWelcomeWidth : kTitleWidth;
    const int h = welcome ? kWelcomeHeight : kTitleHeight;
    if (width == w && height == h) return "";
    return "is " + std::to_string(width) + " x " + std::to_string(height) + " pixels; " +
           (welcome ? "the welcome page's left" : "the band above pages 2 to 5") + " is " +
           std::to_string(w) + " x " + std::to_string(h) + " and the picture is drawn unscaled";
}

std::string pictureDensities() {
    const std::string normal = std::to_string(kNormalDpi), large = std::to_string(kLargeDpi);
    return "drawn as they are at " + normal + " and " + large + " dpi, stretched smoothly into " +
           "their places above " + large + " dpi (the splash by dpi / " + large + ")";
}

}  // namespace kestrova::kpack
