#include "file_io.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kestrova::kpack {
namespace {

std::string lastError() {
    return std::strerror(errno);
}

std::FILE* openPath(const fs::path& path, bool write) {
#ifdef _WIN32
    return _wfopen(path.c_str(), write ? L"wb" : L"rb");
#else
    return std::fopen(path.c_str(), write ? "wb" : "rb");
#endif
}

bool seekTo(std::FILE* f, uint64_t position) {
#ifdef _WIN32
    return _fseeki64(f, static_cast<int64_t>(position), SEEK_SET) == 0;
#else
    return fseeko(f, static_cast<off_t>(position), SEEK_SET) == 0;
#endif
}

uint64_t lengthOf(std::FILE* f) {
#ifdef _WIN32
    if (_fseeki64(f, 0, SEEK_END) != 0) return 0;
    const int64_t n = _ftelli64(f);
#else
    if (fseeko(f, 0, SEEK_END) != 0) return 0;
    const int64_t n = ftello(f);
#endif
    return n < 0 ? 0 : static_cast<uint64_t>(n);
}

}  // namespace

fs::path pathFromUtf8(const std::string& utf8) {
#ifdef _WIN32
    if (utf8.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
    return fs::path(wide);
#else
    return fs::path(utf8);
#endif
}

std::string pathToUtf8(const fs::path& path) {
#ifdef _WIN32
    const std::wstring& wide = path.native();
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n,
                            nullptr, nullptr);
    return out;
#else
    return path.native();
#endif
}

bool appendWholeFile(const fs::path& path, uint64_t expectedSize, std::vector<uint8_t>* bytes,
                     std::string* error) {
    std::FILE* f = openPath(path, false);
    if (!f) {
        *error = lastError();
        return false;
    }
    const uint64_t size = lengthOf(f);
    bool ok = size == expectedSize && seekTo(f, 0);
    if (!ok) *error = "the file changed while kpack was reading it";
    if (ok) {
        const std::size_t at = bytes->size();
        bytes->resize(at + static_cast<std::size_t>(size));
        ok = std::fread(bytes->data() + at, 1, static_cast<std::size_t>(size), f) == size &&
             std::fgetc(f) == EOF;
        if (!ok)
            *error = std::ferror(f) ? lastError() : "the file changed while kpack was reading it";
    }
    std::fclose(f);
    return ok;
}

bool readWholeFile(const fs::path& path, std::vector<uint8_t>* bytes, std::string* error) {
    std::error_code ec;
    const uint64_t size = fs::file_size(path, ec);
    if (ec) {
        *error = ec.message();
        return false;
    }
    bytes->clear();
    return appendWholeFile(path, size, bytes, error);
}

InputFile::~InputFile() {
    if (file_) std::fclose(file_);
}

bool InputFile::open(const fs::path& path, std::string* error) {
    if (file_) std::fclose(file_);
    file_ = openPath(path, false);
    if (!file_) {
        *error = lastError();
        return false;
    }
    size_ = lengthOf(file_);
    return true;
}

std::size_t InputFile::readAt(uint64_t position, void* buffer, std::size_t n) {
    if (!file_ || position >= size_ || !seekTo(file_, position)) return 0;
    if (n > size_ - position) n = static_cast<std::size_t>(size_ - position);
    return std::fread(buffer, 1, n, file_);
}

OutputFile::~OutputFile() {
    discard();
}

void OutputFile::discard() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);
        temporary_.clear();
    }
}

bool OutputFile::open(const fs::path& path, std::string* error) {
    discard();
    path_ = path;
    failed_ = false;
    // In the output's own folder, so the final rename stays on one volume.
#ifdef _WIN32
    const unsigned long pid = GetCurrentProcessId();
#else
    const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    fs::path name = path.filename();
    name += ".kpack-" + std::to_string(pid) + ".tmp";
    temporary_ = path.parent_path() / name;
    file_ = openPath(temporary_, true);
    if (!file_) {
        *error = lastError();
        temporary_.clear();
        return false;
    }
    return true;
}

bool OutputFile::write(const void* data, std::size_t n) {
    if (!file_ || failed_) return false;
    if (n && std::fwrite(data, 1, n, file_) != n) failed_ = true;
    return !failed_;
}

bool OutputFile::commit(std::string* error) {
    if (!file_) {
        *error = "nothing was written";
        return false;
    }
    const bool flushed = std::fflush(file_) == 0 && !failed_;
    const std::string flushError = flushed ? "" : lastError();
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed) {
        *error = flushed ? lastError() : flushError;
        discard();
        return false;
    }
#ifdef _WIN32
    // fs::rename does not replace an existing file on Windows.
    if (!MoveFileExW(temporary_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        *error = std::system_category().message(static_cast<int>(GetLastError()));
        discard();
        return false;
    }
#else
    std::error_code ec;
    fs::rename(temporary_, path_, ec);
    if (ec) {
        *error = ec.message();
        discard();
        return false;
    }
#endif
    temporary_.clear();
    return true;
}

bool writeWholeFile(const fs::path& path, const void* data, std::size_t n, std::string* error) {
    OutputFile out;
    if (!out.open(path, error)) return false;
    if (!out.write(data, n)) {
        *error = lastError();
        return false;
    }
    return out.commit(error);
}

fs::path programFolder() {
#ifdef _WIN32
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, &buffer[0], static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size()) return {};
    buffer.resize(n);
    return fs::path(buffer).parent_path();
#else
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : self.parent_path();
#endif
}

bool stderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace kestrova::kpack
