// Digests through the system's cryptography (BCrypt, Windows Vista on),
// never a hash of our own.
#include <windows.h>
// after windows.h, which it needs
#include <bcrypt.h>

#include "platform/win32/win32_platform.h"

namespace kestrova::win32 {
namespace {

// Closes what was opened, whichever step failed.
class Sha256 {
  public:
    Sha256() {
        if (BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0)
            algorithm_ = nullptr;
        else if (BCryptCreateHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0) != 0)
            hash_ = nullptr;
    }
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;
    ~Sha256() {
        if (hash_) BCryptDestroyHash(hash_);
        if (algorithm_) BCryptCloseAlgorithmProvider(algorithm_, 0);
    }

    bool digest(const void* data, std::size_t size, uint8_t* out) {
        if (!hash_) return false;
        // BCryptHashData takes at most a ULONG's worth at once.
        const auto* bytes = static_cast<const UCHAR*>(data);
        while (size > 0) {
            ULONG part = size > 0x40000000u ? 0x40000000u : static_cast<ULONG>(size);
            if (BCryptHashData(hash_, const_cast<UCHAR*>(bytes), part, 0) != 0) return false;
            bytes += part;
            size -= part;
        }
        return BCryptFinishHash(hash_, out, kSha256Size, 0) == 0;
    }

  private:
    BCRYPT_ALG_HANDLE algorithm_ = nullptr;
    BCRYPT_HASH_HANDLE hash_ = nullptr;
};

}  // namespace

bool Win32Platform::sha256(const void* data, std::size_t size, uint8_t digest[kSha256Size]) {
    Sha256 hash;
    return hash.digest(data, size, digest);
}

}  // namespace kestrova::win32
