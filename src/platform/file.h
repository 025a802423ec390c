#pragma once
// File: an owned binary file stream (the C runtime's FILE). The platform
// opens it (paths are GBK and converted only there); everything else reads
// and writes through this class. Move-only; closes on destruction.
//
// Reading goes through the File's own buffer rather than the runtime's:
// a line is found with memchr instead of one locked getc per byte, the
// position is known without asking the system, and a seek that lands
// inside the buffered bytes, or just after them (where the next stream of
// a package starts), keeps them instead of reading them again.
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
    // The read buffer's size: one system read per 64 KB of a file read in
    // order, a stream's worth for most files of a package.
    static constexpr std::size_t kReadBuffer = 64 * 1024;

    File() = default;
    explicit File(std::FILE* stream) : stream_(stream) {}
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File() { close(); }

    bool isOpen() const { return stream_ != nullptr; }
    explicit operator bool() const { return isOpen(); }

    // Reads up to n bytes; returns how many were read (fewer at the end of
    // the file or on an error, 0 when closed).
    std::size_t read(void* buffer, std::size_t n);

    // Hands out up to max of the next bytes where they lie in the read
    // buffer (refilling it when it is empty) and moves past them: no copy.
    // Returns how many, 0 at the end of the file, on an error or when
    // closed; *data stays valid until the next call on this File.
    std::size_t take(const uint8_t** data, std::size_t max);

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
    bool knowPosition();
    bool refill();
    void dropReadAhead();

    std::FILE* stream_ = nullptr;
    uint8_t* buffer_ = nullptr;  // kReadBuffer bytes, allocated at the first read
    std::size_t next_ = 0;       // the unread bytes are buffer_[next_, end_)
    std::size_t end_ = 0;
    // The file position of buffer_[0], -1 until known. While known, the
    // stream itself stands at bufferStart_ + end_.
    int64_t bufferStart_ = -1;
};

}  // namespace kestrova
