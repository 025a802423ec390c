#pragma once
// File: an owned, buffered binary file stream (the C runtime's FILE). The
// platform opens it (paths are GBK and converted only there); everything
// else reads and writes through this class. Move-only; closes on
// destruction.
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace kestrova {

enum class FileMode {
    Read,   // binary reading; the file must exist
    Write,  // binary writing; created or truncated
};

class File {
  public:
    File() = default;
    explicit File(std::FILE* stream) : stream_(stream) {}
    File(File&& other) noexcept : stream_(other.stream_) { other.stream_ = nullptr; }
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File() { close(); }

    bool isOpen() const { return stream_ != nullptr; }
    explicit operator bool() const { return isOpen(); }

    // Reads up to n bytes; returns how many were read (fewer at the end of
    // the file or on an error, 0 when closed).
    std::size_t read(void* buffer, std::size_t n);

    // Writes n bytes; true only when all of them were accepted.
    bool write(const void* buffer, std::size_t n);
    bool write(const char* text);  // the text without its NUL

    // Moves to an absolute position; false on failure or when closed.
    bool seek(int64_t position);
    // The current position, or -1.
    int64_t tell();
    // The file's length in bytes (the position is kept), or -1.
    int64_t size();

    // Reads one line like fgets: at most capacity - 1 bytes, stopping after
    // a '\n'; the buffer is NUL-terminated. Returns the number of bytes read
    // (NUL bytes inside the line count), or -1 when the end of the file
    // comes before any byte.
    int readLine(char* buffer, int capacity);

    // Pushes buffered output to the system; false if that failed.
    bool flush();

    // Closes the file. False when buffered output could not be written
    // (the file is closed all the same). Closing a closed File is true.
    bool close();

    std::FILE* stream() const { return stream_; }

  private:
    std::FILE* stream_ = nullptr;
};

}  // namespace kestrova
