#pragma once
// Helpers for kpack's tests: a scratch folder per test, files written and
// read whole, and a stand-in stub of the exact size.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

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

}  // namespace kestrova::test
