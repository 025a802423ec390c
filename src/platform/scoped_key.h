#pragma once
// ScopedKey: owns a key opened through the platform's registry calls and
// closes it once, when the owner goes or takes another key. Non-copyable.
// The portable side's counterpart of win32::RegistryKey.
#include "platform/platform.h"

namespace kestrova {

class ScopedKey {
  public:
    explicit ScopedKey(Platform& platform) : platform_(platform) {}
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;
    ~ScopedKey() { close(); }

    // The key for the platform's calls; 0 when none is held.
    RegKey get() const { return key_; }
    bool isOpen() const { return key_ != 0; }

    // Opens root\subKey (regOpenKey); any key held is closed first. False,
    // nothing held, on failure.
    bool open(RegKey root, const char* subKey, uint32_t access) {
        close();
        return platform_.regOpenKey(root, subKey, access, &key_);
    }
    // Creates or opens parent\subKey (regCreateKey), likewise.
    bool create(RegKey parent, const char* subKey) {
        close();
        return platform_.regCreateKey(parent, subKey, &key_);
    }
    // Takes a key opened elsewhere; any key held is closed first.
    void adopt(RegKey key) {
        close();
        key_ = key;
    }
    // Hands the key to the caller, who closes it; nothing is held after.
    RegKey release() {
        RegKey key = key_;
        key_ = 0;
        return key;
    }
    void close() {
        if (key_) platform_.regCloseKey(key_);
        key_ = 0;
    }

  private:
    Platform& platform_;
    RegKey key_ = 0;
};

}  // namespace kestrova
