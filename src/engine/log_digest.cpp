#include "engine/log_digest.h"

namespace kestrova {

bool readLogBytes(Platform& platform, const char* path, std::vector<char>* bytes) {
    bytes->clear();
    File file = platform.openFile(path, FileMode::Read);
    if (!file) return false;
    // Read to the end rather than trust a size asked first: the file may
    // change in between, and the digest must cover what is parsed.
    char block[16384];
    for (;;) {
        std::size_t n = file.read(block, sizeof block);
        if (n == 0) break;
        if (bytes->size() + n > kLogSizeLimit) return false;
        bytes->insert(bytes->end(), block, block + n);
    }
    return !std::ferror(file.stream());
}

bool logDigestText(Platform& platform, const char* data, std::size_t size,
                   char text[kDigestTextSize]) {
    text[0] = '\0';
    uint8_t digest[kSha256Size];
    if (!platform.sha256(data, size, digest)) return false;
    static const char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < kSha256Size; ++i) {
        text[2 * i] = kDigits[digest[i] >> 4];
        text[2 * i + 1] = kDigits[digest[i] & 15];
    }
    text[2 * kSha256Size] = '\0';
    return true;
}

}  // namespace kestrova
