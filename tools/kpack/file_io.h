#pragma once
// Files for kpack: paths from UTF-8 and GBK texts, whole-file reads, random
// access to a setup.exe of any size, and an output that appears under its
// name only when it is complete.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace kestrova::kpack {

namespace fs = std::filesystem;

// A path from UTF-8 text (the manifest, the command line).
fs::path pathFromUtf8(const std::string& utf8);
// A path's UTF-8 text, for messages.
std::string pathToUtf8(const fs::path& path);

// Reads a whole file. False, *error set to the system's reason, when it
// cannot be opened or read.
bool readWholeFile(const fs::path& path, std::vector<uint8_t>* bytes, std::string* error);
// Appends a whole file to *bytes; false as above, or when its size is not
// expectedSize (the file changed since it was looked at).
bool appendWholeFile(const fs::path& path, uint64_t expectedSize, std::vector<uint8_t>* bytes,
                     std::string* error);

// A file read at 64-bit positions. Reads that run past the end return fewer
// bytes; nothing is ever read outside the caller's buffer.
class InputFile {
  public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // False, with the system's reason in *error, when it cannot be opened.
    bool open(const fs::path& path, std::string* error);
    uint64_t size() const { return size_; }
    // Reads up to n bytes at position; returns how many were read.
    std::size_t readAt(uint64_t position, void* buffer, std::size_t n);

  private:
    std::FILE* file_ = nullptr;
    uint64_t size_ = 0;
};

// An output file written under a temporary name in its own folder and
// renamed to its name by commit(); destroyed uncommitted (an error, an
// exception), it removes the temporary file, so no partial output is left.
class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // False, with the reason in *error, when the temporary file cannot be
    // created.
    bool open(const fs::path& path, std::string* error);
    // False when the bytes could not all be written.
    bool write(const void* data, std::size_t n);
    // Flushes, closes and renames over any existing file of the name. False,
    // temporary file removed, with the reason in *error, on any failure.
    bool commit(std::string* error);

  private:
    void discard();
    std::FILE* file_ = nullptr;
    fs::path path_;
    fs::path temporary_;
    bool failed_ = false;
};

// Writes bytes to path (through OutputFile). False with the reason.
bool writeWholeFile(const fs::path& path, const void* data, std::size_t n, std::string* error);

// The folder of the running kpack program, or an empty path when unknown.
fs::path programFolder();

// True when the standard error stream is a terminal.
bool stderrIsTerminal();

}  // namespace kestrova::kpack
