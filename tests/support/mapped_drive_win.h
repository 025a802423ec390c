#pragma once
// A drive letter mapped, for one test, to a new folder: through Wine's mount
// manager, as Wine's own drive settings map drives, so the drive is listed
// by GetLogicalDrives, has the type asked for and reads the folder's
// contents. The mapping and the folder go with the object. Wine only: on
// Windows (or when the mount manager refuses) ok() is false.
#include <windows.h>
// After windows.h, which they need.
#include <shellapi.h>
#include <winioctl.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace kestrova::test {

class MappedDrive {
  public:
    // type: DRIVE_FIXED or DRIVE_REMOVABLE. The letter is the last free one
    // from Y: down.
    explicit MappedDrive(UINT type = DRIVE_FIXED) {
        const DWORD used = GetLogicalDrives();
        for (int n = 24; n >= 3 && !letter_; --n)
            if (!(used & (1u << n))) letter_ = static_cast<wchar_t>(L'A' + n);
        wchar_t temp[MAX_PATH];
        if (!letter_ || !GetTempPathW(MAX_PATH, temp)) return;
        folder_ = std::wstring(temp) + L"kestrova-drive-" + letter_;
        removeFolder();
        if (!CreateDirectoryW(folder_.c_str(), nullptr)) return;
        ok_ = define(type);
    }
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;
    ~MappedDrive() {
        if (ok_) define(DRIVE_NO_ROOT_DIR);  // removes the mapping
        removeFolder();
    }

    bool ok() const { return ok_; }
    wchar_t letter() const { return letter_; }
    // "R:" and "R:\name".
    std::wstring root() const { return std::wstring(1, letter_) + L":"; }
    std::wstring path(const std::wstring& name) const { return root() + L"\\" + name; }

  private:
    // Wine's mount manager request that defines (or, with
    // DRIVE_NO_ROOT_DIR, removes) a drive letter for a Unix folder.
    struct UnixDrive {
        ULONG size, type, fsType;
        DWORD serial;
        ULONGLONG unixDevice;
        WCHAR letter;
        USHORT mountPointOffset, deviceOffset, labelOffset;
    };

    bool define(UINT type) {
        using UnixName = char*(CDECL*)(const wchar_t*);
        auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
        if (!unixName) return false;
        char* target = unixName(folder_.c_str());
        if (!target) return false;
        char buffer[sizeof(UnixDrive) + MAX_PATH * 4] = {};
        auto* request = reinterpret_cast<UnixDrive*>(buffer);
        const std::size_t length = std::strlen(target);
        bool sent = false;
        if (length < MAX_PATH * 4) {
            std::memcpy(buffer + sizeof(UnixDrive), target, length + 1);
            request->size = static_cast<ULONG>(sizeof(UnixDrive) + length + 1);
            request->type = type;
            request->letter = static_cast<WCHAR>(letter_ - L'A' + L'a');
            request->mountPointOffset = type == DRIVE_NO_ROOT_DIR ? 0 : sizeof(UnixDrive);
            HANDLE manager =
                CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
            if (manager != INVALID_HANDLE_VALUE) {
                DWORD returned;
                sent = DeviceIoControl(
                    manager,
                    CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS),
                    request, request->size, nullptr, 0, &returned, nullptr);
                CloseHandle(manager);
            }
        }
        HeapFree(GetProcessHeap(), 0, target);
        return sent &&
               (type == DRIVE_NO_ROOT_DIR || GetDriveTypeW((root() + L"\\").c_str()) == type);
    }

    void removeFolder() {
        if (folder_.empty()) return;
        std::wstring from = folder_ + L'\0';  // the list ends in two NULs
        SHFILEOPSTRUCTW operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_NO_UI;
        SHFileOperationW(&operation);
    }

    wchar_t letter_ = 0;
    std::wstring folder_;
    bool ok_ = false;
};

}  // namespace kestrova::test
