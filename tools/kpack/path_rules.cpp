#include "path_rules.h"

#include <cstdio>

namespace kestrova::kpack {
namespace {

constexpr char kAbsoluteDirectory[] = "[Absolute Directory]";

bool isLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

bool isDrive(const std::string& s, std::size_t at) {
    if (s.size() < at + 3) return false;
    const char c = s[at];
    return ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && s[at + 1] == ':' &&
           s[at + 2] == '\\';
}

std::string hexByte(unsigned char c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%02X", c);
    return buffer;
}

// Splits the part of a path below its root into names at each single-byte
// '\'. A double-byte character never splits, even when its second byte is
// 0x5C; nameProblem reports those.
std::vector<std::string> splitNames(const std::string& rest) {
    std::vector<std::string> names(1);
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(rest[i]);
        if (isLeadByte(c) && i + 1 < rest.size()) {
            names.back() += rest.substr(i, 2);
            ++i;
        } else if (c == '\\') {
            names.emplace_back();
        } else {
            names.back() += static_cast<char>(c);
        }
    }
    return names;
}

std::string nameProblem(const std::string& name) {
    if (name.empty()) return "has an empty name between two '\\'";
    if (name == "." || name == "..") return "holds the name \"" + name + "\"";
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (isLeadByte(c)) {
            if (i + 1 >= name.size()) return "ends in the first byte of a double-byte character";
            if (name[i + 1] == '\\')
                return "holds a character whose second GBK byte is 0x5C, which the setup "
                       "reads as '\\'";
            ++i;
            continue;
        }
        if (c < 0x20) return "holds the control character " + hexByte(c);
        if (c == '/') return "holds '/': separate folders with '\\'";
        if (std::string("*?\"<>|:").find(static_cast<char>(c)) != std::string::npos)
            return std::string("holds '") + static_cast<char>(c) +
                   "', which Windows does not allow in a name";
    }
    if (name.back() == ' ' || name.back() == '.')
        return "has a name that ends in a space or a dot, which Windows drops";
    return "";
}

}  // namespace

const std::vector<std::string>& pathMacros() {
    static const std::vector<std::string> macros = {
        "[Program Files]",  "[InstallDir]",      kAbsoluteDirectory, "[Windows Directory]",
        "[Windows System]", "[Windows Desktop]", "[Start Menu]"};
    return macros;
}

std::string pathRoot(const std::string& path) {
    if (!path.empty() && path[0] == '[') {
        const std::size_t close = path.find(']');
        if (close == std::string::npos) return "";
        const std::string macro = path.substr(0, close + 1);
        if (macro == kAbsoluteDirectory)
            return isDrive(path, macro.size()) ? path.substr(0, macro.size() + 3) : "";
        for (const std::string& known : pathMacros())
            if (macro == known) return macro;
        return "";
    }
    return isDrive(path, 0) ? path.substr(0, 3) : "";
}

std::string pathProblem(const std::string& path, PathUse use) {
    if (path.empty()) return "is empty";
    const std::string root = pathRoot(path);
    if (root.empty()) {
        if (path[0] == '[' && path.find(']') != std::string::npos) {
            const std::string macro = path.substr(0, path.find(']') + 1);
            if (macro == kAbsoluteDirectory)
                return "must go on with a drive such as C:\\ after " + macro;
            return "begins with " + macro + ", which is not a path macro the setup knows";
        }
        return "must begin with a path macro such as [InstallDir] or a drive such as C:\\";
    }
    std::string rest = path.substr(root.size());
    const bool macroRoot = root.back() == ']';
    if (rest.empty()) {
        if (use == PathUse::File) return "names no file after " + root;
        return "";
    }
    if (macroRoot) {
        if (rest[0] != '\\') return "must have '\\' after " + root;
        rest.erase(0, 1);
    }
    if (path.back() == '\\') return "ends in '\\'";
    for (const std::string& name : splitNames(rest)) {
        const std::string problem = nameProblem(name);
        if (!problem.empty()) return problem;
    }
    return "";
}

std::string fileNameProblem(const std::string& name) {
    if (name.empty()) return "is empty";
    // A name stands alone here: '\' and '/' would make it a path.
    const char* const instead =
        ", which Windows does not allow in a file name: write another "
        "character, such as '-', instead";
    if (splitNames(name).size() > 1) return std::string("holds '\\'") + instead;
    if (name.find('/') != std::string::npos) return std::string("holds '/'") + instead;
    return nameProblem(name);
}

std::vector<std::string> foldersBelowRoot(const std::string& path, bool includeSelf) {
    std::vector<std::string> folders;
    const std::string root = pathRoot(path);
    std::string rest = path.substr(root.size());
    const bool macroRoot = !root.empty() && root.back() == ']';
    if (rest.empty()) return folders;
    if (macroRoot && rest[0] == '\\') rest.erase(0, 1);
    const std::vector<std::string> names = splitNames(rest);
    std::string folder = root;
    // The install folder is the product's own: listing it lets the
    // uninstaller remove it. Other roots (the Windows folder, Program
    // Files, the desktop) belong to the system and are never listed.
    if (root == "[InstallDir]") folders.push_back(root);
    const std::size_t count = includeSelf ? names.size() : names.size() - 1;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0 || macroRoot) folder += '\\';
        folder += names[i];
        folders.push_back(folder);
    }
    return folders;
}

std::vector<std::string> namesBelowRoot(const std::string& path) {
    const std::string root = pathRoot(path);
    std::string rest = path.substr(root.size());
    if (rest.empty()) return {};
    if (!root.empty() && root.back() == ']' && rest[0] == '\\') rest.erase(0, 1);
    return splitNames(rest);
}

bool hasAutoRegExtension(const std::string& path) {
    return path.size() >= 4 && path[path.size() - 4] == '.';
}

}  // namespace kestrova::kpack
