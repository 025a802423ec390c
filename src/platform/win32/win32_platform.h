#pragma once
// Win32Platform: the real platform, over the wide (W) Win32 calls. Every
// text is converted between GBK and UTF-16 with code page 936 (wide.h); a
// text that cannot be converted, and a result that does not fit the
// caller's buffer, make the operation fail rather than use another name.
// Construct one with no arguments and hand it down by reference; its only
// state is the helper thread that makes files ahead, started at the first
// request and ended with the platform.
#include "platform/platform.h"

namespace kestrova::win32 {

class CreateAhead;

class Win32Platform : public Platform {
  public:
    Win32Platform() = default;
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    // Files and folders (files.cpp): _wfopen, _wmkdir, _wchdir, DeleteFileW,
    // SetFileAttributesW (0 asks for FILE_ATTRIBUTE_NORMAL), GetFileAttributesW.
    File openFile(const char* path, FileMode mode) override;
    bool makeFolder(const char* path) override;
    bool changeFolder(const char* path) override;
    bool deleteFile(const char* path) override;
    bool setFileAttributes(const char* path, uint32_t attributes) override;
    uint32_t fileAttributes(const char* path) override;

    // System folders and facts (system_info.cpp). The Windows, system and
    // temporary folders and the module path are held to kSystemPathSize
    // bytes (with the NUL) as well as to capacity.
    bool windowsFolder(char* buffer, std::size_t capacity) override;
    bool systemFolder(char* buffer, std::size_t capacity) override;
    bool tempFolder(char* buffer, std::size_t capacity) override;
    bool desktopFolder(char* buffer, std::size_t capacity) override;
    bool modulePath(char* buffer, std::size_t capacity) override;
    LocalTime localTime() override;
    VersionInfo version() override;

    // Registry (registry.cpp). regSetString converts exactly length bytes
    // and stores them as REG_SZ with a terminating NUL, as the system itself
    // does for data followed by one. Values of the string types are read as
    // GBK with a NUL (*size counts it, whether or not one was stored);
    // values of other types are copied raw.
    bool regOpenKey(RegKey root, const char* subKey, uint32_t access, RegKey* key) override;
    bool regCreateKey(RegKey parent, const char* subKey, RegKey* key) override;
    bool regQueryValue(RegKey key, const char* name, char* buffer, uint32_t* size) override;
    bool regSetString(RegKey key, const char* name, const char* data, uint32_t length) override;
    bool regSetDword(RegKey key, const char* name, uint32_t value) override;
    void regCloseKey(RegKey key) override;

    // Shell (shell.cpp). createShellLink initialises COM for the calling
    // thread for the duration of the call. announceFontChange posts its
    // broadcast.
    bool shellOpen(const char* path, int showCommand) override;
    bool addFont(const char* path) override;
    void announceFontChange() override;
    bool createShellLink(const ShellLinkFields& fields, const char* linkPath,
                         void (*beforeSave)(void* context), void* context) override;

    // Processes (processes.cpp). When the child's exit code cannot be read
    // after it ended, runProcess still returns true and stores 0xFFFFFFFF.
    // startProgram passes no handles to the child, as WinExec does.
    bool runProcess(const char* commandLine, int showCommand, uint32_t* exitCode) override;
    bool startProgram(const char* commandLine, int showCommand) override;

    // User interface (user_interface.cpp). Texts shown are converted
    // leniently: bytes that are not GBK are shown replaced, not dropped.
    int messageBox(WindowRef owner, const char* text, const char* caption, uint32_t style) override;

    // Drives (drives.cpp). freeSpace reports the bytes available to the
    // calling user (GetDiskFreeSpaceEx's first result).
    uint32_t logicalDrives() override;
    int driveType(const char* root) override;
    bool freeSpace(const char* root, uint64_t* bytes) override;

    // Removal (removal.cpp): RemoveDirectoryW, RegDeleteKeyW.
    bool removeFolder(const char* path) override;
    bool regDeleteKey(RegKey root, const char* subKey) override;
    // The uninstaller's checked removal (checked_removal.cpp):
    // GetLongPathNameW; CreateFileW without following reparse points,
    // GetFinalPathNameByHandleW and SetFileInformationByHandle.
    bool longPathName(const char* path, char* buffer, std::size_t capacity) override;
    HandleRemoval removeThroughHandle(const char* path, bool folder) override;
    // The whole disk's free bytes (drives.cpp).
    bool diskFreeBytes(const char* root, uint64_t* bytes) override;
    // SHA-256 through the system's cryptography (digest.cpp, BCrypt).
    bool sha256(const void* data, std::size_t size, uint8_t digest[kSha256Size]) override;
    // Files made ahead by a helper thread (create_ahead.cpp), with
    // CreateFileW's CREATE_NEW.
    void createAhead(const char* path) override;
    File takeCreatedAhead(const char* path) override;
    void dropCreatedAhead() override;

  private:
    CreateAhead* ahead_ = nullptr;
};

}  // namespace kestrova::win32
