#include "platform/file.h"

#include <cstring>

namespace kestrova {

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        stream_ = other.stream_;
        other.stream_ = nullptr;
    }
    return *this;
}

std::size_t File::read(void* buffer, std::size_t n) {
    if (!stream_ || n == 0) return 0;
    return std::fread(buffer, 1, n, stream_);
}

bool File::write(const void* buffer, std::size_t n) {
    if (!stream_) return false;
    if (n == 0) return true;
    return std::fwrite(buffer, 1, n, stream_) == n;
}

bool File::write(const char* text) {
    return write(text, std::strlen(text));
}

bool File::seek(int64_t position) {
    if (!stream_ || position < 0) return false;
#ifdef _WIN32
    return _fseeki64(stream_, position, SEEK_SET) == 0;
#else
    return fseeko(stream_, static_cast<off_t>(position), SEEK_SET) == 0;
#endif
}

int64_t File::tell() {
    if (!stream_) return -1;
#ifdef _WIN32
    return _ftelli64(stream_);
#else
    return ftello(stream_);
#endif
}

int64_t File::size() {
    int64_t here = tell();
    if (here < 0) return -1;
#ifdef _WIN32
    if (_fseeki64(stream_, 0, SEEK_END) != 0) return -1;
#else
    if (fseeko(stream_, 0, SEEK_END) != 0) return -1;
#endif
    int64_t end = tell();
    seek(here);
    return end;
}

int File::readLine(char* buffer, int capacity) {
    if (capacity <= 0) return -1;
    buffer[0] = '\0';
    if (!stream_) return -1;
    int n = 0;
    while (n < capacity - 1) {
        int c = std::getc(stream_);
        if (c == EOF) break;
        buffer[n++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    buffer[n] = '\0';
    return n == 0 ? -1 : n;
}

bool File::flush() {
    return stream_ && std::fflush(stream_) == 0;
}

bool File::close() {
    if (!stream_) return true;
    bool ok = std::ferror(stream_) == 0;
    ok = std::fclose(stream_) == 0 && ok;
    stream_ = nullptr;
    return ok;
}

}  // namespace kestrova
