#include "uninstaller/uninstall_paths.h"

#include <cstring>

#include "engine/gbk_text.h"
#include "state/bounded_text.h"

namespace kestrova {
namespace {

const char kFileLogSuffix[] = "file.ini";
const char kDirLogSuffix[] = "dir.ini";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The position of the last '\' of text, walking whole GBK characters so
// that the second byte of a Chinese character is never taken for one; -1
// when there is none.
long lastBackslash(const char* text, std::size_t length) {
    long last = -1;
    const char* end = text + length;
    for (const char* p = text; p < end; p += gbkCharLength(p, end))
        if (*p == '\\') last = p - text;
    return last;
}

bool endsWithIgnoringCase(const char* text, std::size_t length, const char* suffix) {
    std::size_t n = std::strlen(suffix);
    if (length < n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        char a = text[length - n + i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (a != suffix[i]) return false;
    }
    return true;
}

}  // namespace

bool takeSilentSwitch(const char** tail) {
    const char* p = *tail;
    if (p[0] != '/' || p[1] != 'S' || (p[2] && !isBlank(p[2]))) return false;
    p += 2;
    while (isBlank(*p)) ++p;
    *tail = p;
    return true;
}

const char* commandTail(const char* commandLine) {
    const char* p = commandLine;
    while (isBlank(*p)) ++p;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p) ++p;
    } else {
        while (*p && !isBlank(*p)) ++p;
    }
    while (isBlank(*p)) ++p;
    return p;
}

bool readUninstallArgument(const char* tail, UninstallPaths* paths) {
    *paths = UninstallPaths();
    const char* start = tail;
    while (isBlank(*start)) ++start;
    std::size_t length = std::strlen(start);
    while (length > 0 &&
           (isBlank(start[length - 1]) || start[length - 1] == '\r' || start[length - 1] == '\n'))
        --length;
    if (length >= 2 && start[0] == '"' && start[length - 1] == '"') {
        ++start;
        length -= 2;
    }
    // A full path on a drive: "X:\" and at least a file name.
    bool drive = length > 3 &&
                 ((start[0] >= 'A' && start[0] <= 'Z') || (start[0] >= 'a' && start[0] <= 'z')) &&
                 start[1] == ':' && start[2] == '\\';
    if (!drive || !endsWithIgnoringCase(start, length, kFileLogSuffix)) return false;

    long slash = lastBackslash(start, length);
    std::size_t nameStart = static_cast<std::size_t>(slash) + 1;
    std::size_t nameLength = length - nameStart - (sizeof kFileLogSuffix - 1);
    if (nameLength == 0) return false;

    UninstallPaths p;
    // The install folder keeps its backslash only when it is a drive root.
    std::size_t folderLength = slash == 2 ? 3 : static_cast<std::size_t>(slash);
    if (!copyTextN(p.fileLog, sizeof p.fileLog, start, length) ||
        !copyTextN(p.productName, sizeof p.productName, start + nameStart, nameLength) ||
        !copyTextN(p.installFolder, sizeof p.installFolder, start, folderLength) ||
        !copyTextN(p.dirLog, sizeof p.dirLog, start, nameStart) ||
        !appendText(p.dirLog, p.productName) || !appendText(p.dirLog, kDirLogSuffix))
        return false;
    *paths = p;
    return true;
}

bool readArgumentWithTrailingSwitch(const char* tail, UninstallPaths* paths) {
    *paths = UninstallPaths();
    std::size_t length = std::strlen(tail);
    while (length > 0 &&
           (isBlank(tail[length - 1]) || tail[length - 1] == '\r' || tail[length - 1] == '\n'))
        --length;
    if (length < 3 || tail[length - 2] != '/' || tail[length - 1] != 'S' ||
        !isBlank(tail[length - 3]))
        return false;
    // Whatever stands before the switch must be the whole log path: a path
    // that ends in " /S" names no file log, so nothing is taken from one.
    char path[2 * kTextSize];
    return copyTextN(path, sizeof path, tail, length - 3) && readUninstallArgument(path, paths);
}

}  // namespace kestrova
