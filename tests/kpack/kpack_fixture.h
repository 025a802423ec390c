#pragma once
// Helpers for kpack's tests: a scratch folder per test, files written and
// read whole, and a stand-in stub of the exact size.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "package_builder.h"

namespace kestrova::test {

namespace fs = std::filesystem;

// The running test program's own file (a real executable to compress).
fs::path ownExecutable();

std::vector<uint8_t> readWholeFile(const fs::path& path);
std::string readText(const fs::path& path);
// Writes bytes, creating the folders above the file.
void writeFile(const fs::path& path, const std::string& bytes);

// A new empty folder under the system's temporary folder, removed with its
// contents when the object goes.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / fs::u8path(name); }

  private:
    fs::path path_;
};

// A zero-filled file of the stub's exact size, standing in for the real
// stub where only the package format matters.
fs::path writeStandInStub(const fs::path& folder);

// A stand-in Windows program: the headers of one and nothing to run. As the
// uninstaller it carries the real one's manifest identity, which kpack looks
// for; with dll its file header marks it a DLL.
std::string standInProgram(bool uninstaller = true, bool dll = false);

// A Windows bitmap of one grey, 8 bits with a one-entry colour table: a
// picture kpack stores as it is.
std::string plainBitmap(int width, int height, uint8_t grey = 0xC0);

// A product folder for kpack: one-colour welcome and title pictures of their
// places' sizes, a stand-in stub, and whatever sources and manifest a test
// writes into it.
class ProductFolder {
  public:
    ProductFolder();
    const fs::path& path() const { return folder_.path(); }
    fs::path operator/(const std::string& utf8Name) const { return folder_ / utf8Name; }
    // Writes a source file (name in UTF-8, relative to the folder).
    void source(const std::string& utf8Name, const std::string& bytes) const;
    // Writes product.toml and returns its path.
    fs::path manifest(const std::string& toml) const;
    const fs::path& stub() const { return stub_; }
    // What kpack build is given for this folder's product.toml, its stub
    // and the output file named outputName here.
    kpack::BuildOptions options(const std::string& outputName, unsigned threads = 2) const;

  private:
    ScratchFolder folder_;
    fs::path stub_;
};

// The smallest manifest kpack accepts, built on by the tests: product 测试,
// pictures welcome.bmp and title.bmp, one file a.txt.
extern const char kMinimalManifest[];

#ifndef _WIN32
struct KpackRun {
    int status;
    std::string output;  // standard output and standard error
};

// Runs the kpack program at program with the arguments (one shell text) in
// folder.
KpackRun runKpack(const std::string& program, const std::string& arguments, const fs::path& folder);
#endif

// Replaces the first occurrence of `from` in text by `to`; aborts the test
// when it is not there.
std::string replaced(std::string text, const std::string& from, const std::string& to);

}  // namespace kestrova::test
