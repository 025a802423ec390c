#include "platform/file.h"

#include <cstring>

#ifdef _WIN32
#include <io.h>  // _filelengthi64, _fileno
#endif

namespace kestrova {
namespace {

// On Windows, positions go through fsetpos and fgetpos, whose fpos_t is a
// 64-bit number there: the runtime's _fseeki64 and _ftelli64 are emulated
// by MinGW in 2 KB of code the stub would carry.
bool seekStream(std::FILE* stream, int64_t position) {
#ifdef _WIN32
    const std::fpos_t at = static_cast<std::fpos_t>(position);
    return std::fsetpos(stream, &at) == 0;
#else
    return fseeko(stream, static_cast<off_t>(position), SEEK_SET) == 0;
#endif
}

int64_t tellStream(std::FILE* stream) {
#ifdef _WIN32
    std::fpos_t at;
    if (std::fgetpos(stream, &at) != 0) return -1;
    return static_cast<int64_t>(at);
#else
    return static_cast<int64_t>(ftello(stream));
#endif
}

// The file's length as the system has it, after the stream's buffered
// output; the stream's position is then unspecified.
int64_t streamLength(std::FILE* stream) {
    if (std::fflush(stream) != 0) return -1;
#ifdef _WIN32
    return _filelengthi64(_fileno(stream));
#else
    if (fseeko(stream, 0, SEEK_END) != 0) return -1;
    return static_cast<int64_t>(ftello(stream));
#endif
}

}  // namespace

File::File(File&& other) noexcept
    : stream_(other.stream_),
      buffer_(other.buffer_),
      next_(other.next_),
      end_(other.end_),
      bufferStart_(other.bufferStart_) {
    other.stream_ = nullptr;
    other.buffer_ = nullptr;
    other.next_ = other.end_ = 0;
    other.bufferStart_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        stream_ = other.stream_;
        buffer_ = other.buffer_;
        next_ = other.next_;
        end_ = other.end_;
        bufferStart_ = other.bufferStart_;
        other.stream_ = nullptr;
        other.buffer_ = nullptr;
        other.next_ = other.end_ = 0;
        other.bufferStart_ = -1;
    }
    return *this;
}

// Asks the stream for its position once; from then on reads and seeks keep
// it. False (nothing can be read) for a stream without a position.
bool File::knowPosition() {
    if (bufferStart_ >= 0) return true;
    const int64_t at = tellStream(stream_);
    if (at < 0) return false;
    bufferStart_ = at;
    next_ = end_ = 0;
    return true;
}

// Reads the next block into the buffer, which must be used up. False at the
// end of the file or on an error.
bool File::refill() {
    if (!buffer_) buffer_ = new uint8_t[kReadBuffer];
    bufferStart_ += static_cast<int64_t>(end_);
    next_ = end_ = 0;
    end_ = std::fread(buffer_, 1, kReadBuffer, stream_);
    return end_ > 0;
}

// Before the stream is written or its position changed by other means: it
// stands where this File's reader does, and forgets what it read ahead.
void File::dropReadAhead() {
    if (bufferStart_ >= 0 && next_ != end_)
        seekStream(stream_, bufferStart_ + static_cast<int64_t>(next_));
    bufferStart_ = -1;
    next_ = end_ = 0;
}

std::size_t File::read(void* buffer, std::size_t n) {
    if (!stream_ || n == 0 || !knowPosition()) return 0;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        if (next_ == end_) {
            // A large read goes straight into the caller's memory: copying
            // it through the buffer would only cost time.
            if (n - done >= kReadBuffer) {
                bufferStart_ += static_cast<int64_t>(end_);
                next_ = end_ = 0;
                const std::size_t got = std::fread(out + done, 1, n - done, stream_);
                bufferStart_ += static_cast<int64_t>(got);
                return done + got;
            }
            if (!refill()) break;
        }
        const std::size_t chunk = n - done < end_ - next_ ? n - done : end_ - next_;
        std::memcpy(out + done, buffer_ + next_, chunk);
        next_ += chunk;
        done += chunk;
    }
    return done;
}

std::size_t File::take(const uint8_t** data, std::size_t max) {
    if (!stream_ || max == 0 || !knowPosition()) return 0;
    if (next_ == end_ && !refill()) return 0;
    const std::size_t n = max < end_ - next_ ? max : end_ - next_;
    *data = buffer_ + next_;
    next_ += n;
    return n;
}

bool File::write(const void* buffer, std::size_t n) {
    if (!stream_) return false;
    if (n == 0) return true;
    dropReadAhead();
    return std::fwrite(buffer, 1, n, stream_) == n;
}

bool File::write(const char* text) {
    return write(text, std::strlen(text));
}

bool File::seek(int64_t position) {
    if (!stream_ || position < 0) return false;
    // Inside the buffered bytes, or at their end, where the stream stands.
    if (bufferStart_ >= 0 && position >= bufferStart_ &&
        position - bufferStart_ <= static_cast<int64_t>(end_)) {
        next_ = static_cast<std::size_t>(position - bufferStart_);
        return true;
    }
    if (!seekStream(stream_, position)) return false;
    bufferStart_ = position;
    next_ = end_ = 0;
    return true;
}

int64_t File::tell() {
    if (!stream_ || !knowPosition()) return -1;
    return bufferStart_ + static_cast<int64_t>(next_);
}

int64_t File::size() {
    if (!stream_) return -1;
    const int64_t here =
        bufferStart_ >= 0 ? bufferStart_ + static_cast<int64_t>(end_) : tellStream(stream_);
    if (here < 0) return -1;
    const int64_t end = streamLength(stream_);
    // Back to where the stream stood, so the buffered bytes stay good.
    if (!seekStream(stream_, here)) {
        bufferStart_ = -1;
        next_ = end_ = 0;
    }
    return end;
}

int File::readLine(char* buffer, int capacity) {
    if (capacity <= 0) return -1;
    buffer[0] = '\0';
    if (!stream_ || !knowPosition()) return -1;
    std::size_t n = 0;
    const std::size_t most = static_cast<std::size_t>(capacity) - 1;
    while (n < most) {
        if (next_ == end_ && !refill()) break;
        const uint8_t* from = buffer_ + next_;
        std::size_t chunk = most - n < end_ - next_ ? most - n : end_ - next_;
        const void* lineEnd = std::memchr(from, '\n', chunk);
        if (lineEnd)
            chunk = static_cast<std::size_t>(static_cast<const uint8_t*>(lineEnd) - from) + 1;
        std::memcpy(buffer + n, from, chunk);
        next_ += chunk;
        n += chunk;
        if (lineEnd) break;
    }
    buffer[n] = '\0';
    return n == 0 ? -1 : static_cast<int>(n);
}

bool File::flush() {
    return stream_ && std::fflush(stream_) == 0;
}

bool File::close() {
    delete[] buffer_;
    buffer_ = nullptr;
    next_ = end_ = 0;
    bufferStart_ = -1;
    if (!stream_) return true;
    bool ok = std::ferror(stream_) == 0;
    ok = std::fclose(stream_) == 0 && ok;
    stream_ = nullptr;
    return ok;
}

}  // namespace kestrova
