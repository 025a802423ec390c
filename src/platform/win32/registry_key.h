#pragma once
// RegistryKey: owns an open registry key and closes it once. Non-copyable.
// Names are UTF-16 here; the GBK conversion happens in the platform layer.
#include <windows.h>

#include <cstdint>

namespace kestrova::win32 {

// The HKEY for a key value carried as an integer. The predefined roots are
// 32-bit negative numbers that Windows sign-extends on 64-bit systems; the
// interface carries them as 0x8000000n, so they are sign-extended here.
inline HKEY toHkey(uintptr_t key) {
    if (key >= 0x80000000u && key <= 0x80000006u) {
        return reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(key)));
    }
    return reinterpret_cast<HKEY>(key);
}

class RegistryKey {
  public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() { close(); }

    HKEY get() const { return key_; }
    bool isOpen() const { return key_ != nullptr; }

    // Opens parent\subKey (an empty subKey: parent itself). False, nothing
    // held, on failure.
    bool open(HKEY parent, const wchar_t* subKey, REGSAM access) {
        close();
        HKEY key = nullptr;
        if (RegOpenKeyExW(parent, subKey, 0, access, &key) != ERROR_SUCCESS) return false;
        key_ = key;
        return true;
    }
    // Creates or opens parent\subKey with full access (RegCreateKey).
    bool create(HKEY parent, const wchar_t* subKey) {
        close();
        HKEY key = nullptr;
        if (RegCreateKeyW(parent, subKey, &key) != ERROR_SUCCESS) return false;
        key_ = key;
        return true;
    }
    // Closes the key now. True when none was held or it closed cleanly.
    bool close() {
        if (!key_) return true;
        bool ok = RegCloseKey(key_) == ERROR_SUCCESS;
        key_ = nullptr;
        return ok;
    }
    // Gives up ownership without closing.
    HKEY detach() {
        HKEY key = key_;
        key_ = nullptr;
        return key;
    }

  private:
    HKEY key_ = nullptr;
};

}  // namespace kestrova::win32
