// Registry string and number values. Names and data are GBK in the setup and UTF-16 in
// the registry; a value read back is GBK again with the size the system's
// narrow calls would report (its length with the NUL).
#include <cstdlib>
#include <cstring>

#include "platform/win32/registry_key.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace kestrova::win32 {
namespace {

// A value name: null or empty both mean the key's default value.
const wchar_t* valueName(const char* name, const Wide& wide) {
    return name && name[0] ? wide.get() : nullptr;
}

bool isStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Scratch space for one value's data: on the stack when small.
class DataBuffer {
  public:
    explicit DataBuffer(DWORD bytes) {
        if (bytes > sizeof local_) {
            data_ = static_cast<BYTE*>(std::malloc(bytes));
        }
    }
    DataBuffer(const DataBuffer&) = delete;
    DataBuffer& operator=(const DataBuffer&) = delete;
    ~DataBuffer() {
        if (data_ != local_) std::free(data_);
    }
    BYTE* get() const { return data_; }

  private:
    alignas(wchar_t) BYTE local_[1024];
    BYTE* data_ = local_;
};

}  // namespace

bool Win32Platform::regOpenKey(RegKey root, const char* subKey, uint32_t access, RegKey* key) {
    Wide path(subKey ? subKey : "");
    if (!path.ok()) return false;
    RegistryKey opened;
    if (!opened.open(toHkey(root), path, access)) return false;
    *key = reinterpret_cast<RegKey>(opened.detach());
    return true;
}

bool Win32Platform::regCreateKey(RegKey parent, const char* subKey, RegKey* key) {
    Wide path(subKey ? subKey : "");
    if (!path.ok()) return false;
    RegistryKey created;
    if (!created.create(toHkey(parent), path)) return false;
    *key = reinterpret_cast<RegKey>(created.detach());
    return true;
}

bool Win32Platform::regQueryValue(RegKey key, const char* name, char* buffer, uint32_t* size) {
    Wide wideName(name ? name : "");
    if (!wideName.ok()) return false;
    const wchar_t* valueW = valueName(name, wideName);
    HKEY hkey = toHkey(key);
    const std::size_t capacity = *size;

    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(hkey, valueW, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) {
        return false;
    }
    // Every UTF-16 unit becomes at least one GBK byte, so string data of
    // more than 2 * capacity bytes cannot fit; other data must fit as it is.
    if (isStringType(type) ? bytes / 2 > capacity : bytes > capacity) return false;

    // Room for a NUL unit in case the stored text has none; the value may
    // also have grown since the size was asked for, which then fails.
    DWORD room = bytes + sizeof(wchar_t);
    DataBuffer data(room);
    if (!data.get()) return false;
    DWORD got = room;
    if (RegQueryValueExW(hkey, valueW, nullptr, &type, data.get(), &got) != ERROR_SUCCESS) {
        return false;
    }
    if (!isStringType(type)) {
        if (got > capacity) return false;
        std::memcpy(buffer, data.get(), got);
        *size = got;
        return true;
    }
    // The stored text may or may not end in a NUL (values written by
    // regSetString have none); one NUL is always given back.
    const wchar_t* text = reinterpret_cast<const wchar_t*>(data.get());
    int units = static_cast<int>(got / sizeof(wchar_t));
    if (units > 0 && text[units - 1] == L'\0') --units;
    std::size_t written = 0;
    if (!toGbk(text, units, buffer, capacity, &written)) return false;
    *size = static_cast<uint32_t>(written + 1);
    return true;
}

bool Win32Platform::regSetString(RegKey key, const char* name, const char* data, uint32_t length) {
    Wide wideName(name ? name : "");
    Wide text(data ? data : "", data ? length : 0);
    if (!wideName.ok() || !text.ok()) return false;
    // The text is stored with one NUL after it. The system adds that NUL
    // itself whenever the data given is followed by one in memory, and the
    // documentation asks for it; storing it always keeps other programs
    // that read the value (the uninstall list) from running off its end.
    DWORD bytes = static_cast<DWORD>(text.length() + 1) * sizeof(wchar_t);
    return RegSetValueExW(toHkey(key), valueName(name, wideName), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.get()), bytes) == ERROR_SUCCESS;
}

bool Win32Platform::regSetDword(RegKey key, const char* name, uint32_t value) {
    Wide wideName(name ? name : "");
    if (!wideName.ok()) return false;
    const DWORD data = value;
    return RegSetValueExW(toHkey(key), valueName(name, wideName), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

void Win32Platform::regCloseKey(RegKey key) {
    if (key) RegCloseKey(toHkey(key));
}

}  // namespace kestrova::win32
