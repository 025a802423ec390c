#include "engine/font_install.h"

#include <cstdint>
#include <cstring>

#include "engine/gbk_text.h"
#include "platform/scoped_key.h"
#include "state/bounded_text.h"

namespace kestrova {
namespace {

constexpr char kTrueTypeSuffix[] = " (TrueType)";
// Longer full names are not looked at; real ones are a few dozen characters.
constexpr std::size_t kMaxFullName = 96;

// TrueType numbers are big-endian.
uint32_t bigEndian(const unsigned char* p, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
    return value;
}

bool readAt(File& file, int64_t position, unsigned char* buffer, std::size_t n) {
    return file.seek(position) && file.read(buffer, n) == n;
}

// The full name (name ID 4) for Windows, Unicode, US English from the font
// file's name table, when it is printable ASCII of 1 to kMaxFullName
// characters. Every offset is checked by the read it leads to, so a damaged
// table reads as no name.
bool englishFullName(File& font, char (&name)[kMaxFullName + 1]) {
    unsigned char b[16];
    if (!readAt(font, 0, b, 12)) return false;
    uint32_t tableCount = bigEndian(b + 4, 2);
    int64_t table = -1;
    for (uint32_t i = 0; i < tableCount && table < 0; ++i) {
        if (!readAt(font, 12 + 16 * int64_t{i}, b, 16)) return false;
        if (std::memcmp(b, "name", 4) == 0) table = bigEndian(b + 8, 4);
    }
    if (table < 0 || !readAt(font, table, b, 6)) return false;
    uint32_t recordCount = bigEndian(b + 2, 2);
    int64_t strings = table + bigEndian(b + 4, 2);
    for (uint32_t i = 0; i < recordCount; ++i) {
        if (!readAt(font, table + 6 + 12 * int64_t{i}, b, 12)) return false;
        bool unicode = bigEndian(b + 2, 2) <= 1;  // symbol (0) or Unicode BMP (1)
        if (bigEndian(b, 2) != 3 || !unicode || bigEndian(b + 4, 2) != 0x409 ||
            bigEndian(b + 6, 2) != 4)
            continue;
        uint32_t length = bigEndian(b + 8, 2);
        unsigned char text[2 * kMaxFullName];
        if (length == 0 || length % 2 != 0 || length > sizeof text ||
            !readAt(font, strings + bigEndian(b + 10, 2), text, length))
            return false;
        for (uint32_t at = 0; at < length; at += 2) {
            if (text[at] != 0 || text[at + 1] < 0x20 || text[at + 1] > 0x7E) return false;
            name[at / 2] = static_cast<char>(text[at + 1]);
        }
        name[length / 2] = '\0';
        return true;
    }
    return false;
}

// Where the file name of path begins: after its last '\', found character
// by character (a GBK trail byte may be 0x5C).
const char* fileNameOf(const char* path) {
    const char* end = path + std::strlen(path);
    const char* name = path;
    for (const char* p = path; p < end; p += gbkCharLength(p, end))
        if (*p == '\\') name = p + 1;
    return name;
}

// The file name of path when path lies directly inside windowsFolder's
// Fonts folder; null otherwise.
const char* nameInFontsFolder(const char* windowsFolder, const char* path) {
    std::size_t n = std::strlen(windowsFolder);
    if (n == 0 || std::strncmp(path, windowsFolder, n) != 0) return nullptr;
    const char* rest = path + n;
    const char* folder = "\\fonts\\";
    for (; *folder; ++rest, ++folder) {
        char c = (*rest >= 'A' && *rest <= 'Z') ? static_cast<char>(*rest - 'A' + 'a') : *rest;
        if (c != *folder) return nullptr;
    }
    return *rest && fileNameOf(rest) == rest ? rest : nullptr;
}

}  // namespace

bool fontListName(Platform& platform, const char* path, char* name, std::size_t capacity) {
    char fullName[kMaxFullName + 1];
    File font = platform.openFile(path, FileMode::Read);
    if (font && englishFullName(font, fullName))
        return joinText(name, capacity, fullName, kTrueTypeSuffix);

    char baseName[kMaxFullName * 4];
    const char* fileName = fileNameOf(path);
    const char* dot = std::strrchr(fileName, '.');  // '.' is never a GBK trail byte
    std::size_t length = dot ? static_cast<std::size_t>(dot - fileName) : std::strlen(fileName);
    return copyTextN(baseName, sizeof baseName, fileName, length) &&
           joinText(name, capacity, baseName, kTrueTypeSuffix);
}

void installFont(Platform& platform, const char* windowsFolder, const char* path) {
    if (!platform.addFont(path)) return;
    const char* fileName = nameInFontsFolder(windowsFolder, path);
    char valueName[kMaxFullName * 4 + sizeof kTrueTypeSuffix];
    ScopedKey key(platform);
    if (fileName && fontListName(platform, path, valueName, sizeof valueName) &&
        key.create(kHkeyLocalMachine, kFontListKey)) {
        platform.regSetString(key.get(), valueName, fileName,
                              static_cast<uint32_t>(std::strlen(fileName)));
    }
    platform.announceFontChange();
}

}  // namespace kestrova
