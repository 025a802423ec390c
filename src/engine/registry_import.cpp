#include "engine/registry_import.h"

#include <cstring>

#include "engine/gbk_text.h"
#include "package/format.h"
#include "platform/scoped_key.h"
#include "state/bounded_text.h"

namespace kestrova {
namespace {

// Key paths are built from lines of the registry data file and fit the size
// of its line buffer.
constexpr std::size_t kKeyPathSize = format::kLongLineBuffer;

struct RootName {
    const char* name;
    RegKey root;
};

// Compared exactly, bracket included: the text of a key line before its
// first backslash.
constexpr RootName kRoots[] = {
    {"[HKEY_CLASSES_ROOT", kHkeyClassesRoot},     {"[HKEY_CURRENT_USER", kHkeyCurrentUser},
    {"[HKEY_LOCAL_MACHINE", kHkeyLocalMachine},   {"[HKEY_USERS", kHkeyUsers},
    {"[HKEY_CURRENT_CONFIG", kHkeyCurrentConfig},
};

// The first backslash in [p, end) that is a character of its own, or end.
// Key paths are taken apart character by character, never byte by byte: the
// key "\xC5\x5C" is one level, not a level and a half.
const char* findBackslash(const char* p, const char* end) {
    while (p < end && *p != '\\') p += gbkCharLength(p, end);
    return p < end ? p : end;
}

// Where the last character of [begin, end) starts (begin when empty).
const char* lastCharStart(const char* begin, const char* end) {
    const char* last = begin;
    for (const char* p = begin; p < end; p += gbkCharLength(p, end)) last = p;
    return last;
}

bool lookUpRoot(const char* name, std::size_t length, RegKey* root) {
    for (const RootName& entry : kRoots) {
        if (std::strlen(entry.name) == length && std::memcmp(entry.name, name, length) == 0) {
            *root = entry.root;
            return true;
        }
    }
    return false;
}

// Writes the value of a line without its line end (length bytes):
// "name"="data" where the line's last character, normally the closing
// quote, is not part of the data. Lines of any other shape are skipped.
void applyValueLine(Platform& platform, RegKey key, char* line, std::size_t length) {
    if (length < 1 || line[0] != '"') return;
    // A quote is never the trail byte of a GBK character, so a byte search
    // is exact here.
    const char* quote = static_cast<const char*>(std::memchr(line + 1, '"', length - 1));
    if (!quote) return;
    std::size_t nameEnd = static_cast<std::size_t>(quote - line);
    std::size_t dataBegin = nameEnd + 3;
    // Needs the equals sign, the opening quote and at least one character
    // after it (the one that is dropped).
    if (dataBegin >= length || line[nameEnd + 1] != '=' || line[nameEnd + 2] != '"') return;
    std::size_t dataEnd =
        static_cast<std::size_t>(lastCharStart(line + dataBegin, line + length) - line);
    line[nameEnd] = '\0';
    line[dataEnd] = '\0';
    platform.regSetString(key, line + 1, line + dataBegin,
                          static_cast<uint32_t>(dataEnd - dataBegin));
}

}  // namespace

bool openKeyPathLevels(Platform& platform, RegKey root, const char* keyPath, uint32_t access,
                       RegKey* key) {
    char sofar[kKeyPathSize] = "";
    std::size_t sofarLength = 0;
    ScopedKey current(platform);
    const char* end = keyPath + std::strlen(keyPath);
    for (const char* at = keyPath; at < end;) {
        const char* stop = findBackslash(at, end);
        std::size_t componentLength = static_cast<std::size_t>(stop - at);
        const char* next = stop < end ? stop + 1 : end;
        if (componentLength == 0) {
            at = next;
            continue;
        }
        char component[kKeyPathSize];
        std::size_t parentLength = sofarLength;
        std::size_t separator = parentLength ? 1 : 0;
        if (parentLength + separator + componentLength >= sizeof sofar ||
            !copyTextN(component, sizeof component, at, componentLength))
            return false;
        if (separator) sofar[sofarLength++] = '\\';
        std::memcpy(sofar + sofarLength, at, componentLength);
        sofarLength += componentLength;
        sofar[sofarLength] = '\0';

        ScopedKey level(platform);
        bool ok = level.open(root, sofar, access);
        if (!ok) {
            // Create the missing level under its parent, opened for writing;
            // the root itself serves as the parent of the first level.
            ScopedKey parent(platform);
            bool haveParent = true;
            if (parentLength) {
                sofar[parentLength] = '\0';
                haveParent = parent.open(root, sofar, kKeyWrite);
                sofar[parentLength] = '\\';
            }
            if (haveParent) ok = level.create(parentLength ? parent.get() : root, component);
        }
        // The level above is not needed any more. A level that can be
        // neither opened nor created ends the walk: the values meant for it
        // must not land in the level above.
        current.close();
        if (!ok) return false;
        current.adopt(level.release());
        at = next;
    }
    if (!current.isOpen()) return false;
    *key = current.release();
    return true;
}

bool openRegistryKeyPath(Platform& platform, const char* keyLine, RegKey* key) {
    const char* end = keyLine + std::strlen(keyLine);
    const char* slash = findBackslash(keyLine, end);
    if (slash == end) return false;
    RegKey root;
    if (!lookUpRoot(keyLine, static_cast<std::size_t>(slash - keyLine), &root)) return false;
    const char* path = slash + 1;
    const char* bracket = lastCharStart(path, end);
    if (bracket == end || *bracket != ']' || bracket + 1 != end) return false;
    char keyPath[kKeyPathSize];
    if (!copyTextN(keyPath, sizeof keyPath, path, static_cast<std::size_t>(bracket - path))) {
        return false;
    }
    return openKeyPathLevels(platform, root, keyPath, kKeyWrite, key);
}

bool importRegistryFile(Platform& platform, const char* path) {
    File file = platform.openFile(path, FileMode::Read);
    if (!file.isOpen()) return false;

    // Lines of at most 479 bytes (a 480-byte buffer).
    char line[format::kLongLineBuffer];
    ScopedKey current(platform);
    bool inLongLine = false;
    int n;
    while ((n = file.readLine(line, sizeof line)) > 0) {
        std::size_t length = static_cast<std::size_t>(n);
        if (line[length - 1] != '\n') {
            // A short piece without a line end is the file's last line, which
            // is not applied. A full one is the start of a line over 479
            // bytes: it is skipped whole rather than applied in pieces, which
            // would store a shortened value.
            if (n < format::kLongLineBuffer - 1) break;
            inLongLine = true;
            continue;
        }
        if (inLongLine) {  // the tail of a long line
            inLongLine = false;
            continue;
        }
        // Cut the line end; a file with bare LF line ends loses no text.
        --length;
        if (length > 0 && line[length - 1] == '\r') --length;
        line[length] = '\0';
        if (length == 0) continue;
        // A NUL byte would cut the name or the data short.
        if (std::memchr(line, '\0', length)) continue;

        if (line[0] == '[') {
            // A key line that cannot be used leaves no current key, so the
            // values under it are not written into the previous key.
            current.close();
            RegKey opened = 0;
            if (openRegistryKeyPath(platform, line, &opened)) current.adopt(opened);
        } else if (current.isOpen()) {
            applyValueLine(platform, current.get(), line, length);
        }
    }
    return true;
}

}  // namespace kestrova
