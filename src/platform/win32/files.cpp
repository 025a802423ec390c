// Files and folders. The C runtime's wide calls keep the buffered streams
// and folder operations the rest of the setup uses, with GBK names.
#include <direct.h>

#include <cerrno>
#include <cstdio>

#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace kestrova::win32 {
namespace {

// Writers hand over blocks of about 4 KB, which the C runtime's own 4 KB
// buffer would pass on as one system call each. A larger buffer makes that
// a few calls for a whole file; the contents and the moments of explicit
// flushes stay the same.
constexpr std::size_t kStreamBuffer = 64 * 1024;

File buffered(std::FILE* stream) {
    // Without the memory, the stream keeps the runtime's own buffer.
    if (stream) std::setvbuf(stream, nullptr, _IOFBF, kStreamBuffer);
    return File(stream);
}

// A File buffers its reads itself; a second buffer in the runtime would
// only copy every byte once more (and throw its contents away at each seek).
File unbuffered(std::FILE* stream) {
    if (stream) std::setvbuf(stream, nullptr, _IONBF, 0);
    return File(stream);
}

}  // namespace

File Win32Platform::openFile(const char* path, FileMode mode) {
    Wide name(path);
    if (!name.ok()) return File();
    if (mode == FileMode::Read) return unbuffered(_wfopen(name, L"rb"));
    std::FILE* stream = _wfopen(name, L"wb");
    // A read-only, hidden or system file refuses to be replaced. Its
    // attributes are cleared only then: asking first would cost a lookup
    // of every new file's name, which is most of them.
    if (!stream && errno == EACCES) {
        DWORD attributes = GetFileAttributesW(name);
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            SetFileAttributesW(name, FILE_ATTRIBUTE_NORMAL))
            stream = _wfopen(name, L"wb");
    }
    return buffered(stream);
}

bool Win32Platform::makeFolder(const char* path) {
    Wide name(path);
    return name.ok() && _wmkdir(name) == 0;
}

bool Win32Platform::changeFolder(const char* path) {
    Wide name(path);
    return name.ok() && _wchdir(name) == 0;
}

bool Win32Platform::deleteFile(const char* path) {
    Wide name(path);
    return name.ok() && DeleteFileW(name) != FALSE;
}

bool Win32Platform::setFileAttributes(const char* path, uint32_t attributes) {
    Wide name(path);
    if (!name.ok()) return false;
    // Zero is how callers ask for "no attributes"; the system spells that
    // FILE_ATTRIBUTE_NORMAL, and a zero in the file system's own record
    // means "leave unchanged".
    DWORD value = attributes == kAttributeNormal ? FILE_ATTRIBUTE_NORMAL : attributes;
    return SetFileAttributesW(name, value) != FALSE;
}

uint32_t Win32Platform::fileAttributes(const char* path) {
    Wide name(path);
    if (!name.ok()) return kInvalidAttributes;
    return GetFileAttributesW(name);
}

}  // namespace kestrova::win32
