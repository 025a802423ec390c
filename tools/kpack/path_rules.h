#pragma once
// Paths as the setup handles them: GBK bytes that may begin with a path
// macro, split at '\' byte by byte. kpack checks every path it writes
// against these rules, and derives from the targets the folders that the
// setup must create.
#include <string>
#include <vector>

namespace kestrova::kpack {

// The path macros the setup knows, brackets included.
const std::vector<std::string>& pathMacros();

// The root of a path: a known macro ("[InstallDir]"), the macro
// "[Absolute Directory]" with the drive after it ("[Absolute Directory]D:\"),
// or a drive ("D:\"). Empty when the path has none of these.
std::string pathRoot(const std::string& path);

enum class PathUse {
    File,    // a file: at least one name after the root
    Folder,  // a folder: may be the root itself
};

// The first reason why path cannot be used as a path in the setup script,
// or "" when it can. It must begin with a root; below the root, names are
// separated by single '\', none empty, "." or "..", none with a character
// Windows forbids in names, and no double-byte character may end in the
// byte 0x5C, which the setup would take for a '\'. No trailing space.
std::string pathProblem(const std::string& path, PathUse use);

// The first reason why name cannot be a file name (a product name, a
// shortcut name), or "" when it can.
std::string fileNameProblem(const std::string& name);

// The folders between path's root and the path (exclusive of the root;
// inclusive of the path itself when includeSelf), parents first: for
// "[InstallDir]\a\b\c.txt" without self, "[InstallDir]\a" and
// "[InstallDir]\a\b". The path must have passed pathProblem.
std::vector<std::string> foldersBelowRoot(const std::string& path, bool includeSelf);

// The names of path below its root, split at each single-byte '\'. The
// path must have passed pathProblem.
std::vector<std::string> namesBelowRoot(const std::string& path);

// True when the path has an extension by the [AutoReg] rule: its fourth
// byte from the end is a dot.
bool hasAutoRegExtension(const std::string& path);

}  // namespace kestrova::kpack
