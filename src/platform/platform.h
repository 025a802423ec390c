#pragma once
// Platform: everything the portable code needs from the operating system.
// Portable code (state, package, engine) never includes <windows.h>; it is
// handed a Platform& and calls these operations. Every text crossing this
// interface is GBK bytes; the Win32 implementation converts with code page
// 936 (never the ANSI code page), so the setup behaves the same on a system
// of any locale. Constants carry the values Windows gives them.
//
// Implementations: src/platform/win32 (the real one) and the fake in
// tests/support (for fast host tests).
#include <cstddef>
#include <cstdint>

#include "platform/file.h"

namespace kestrova {

// An opaque window (HWND on Windows).
using WindowRef = void*;

// An open registry key (HKEY on Windows). 0 is no key.
using RegKey = uintptr_t;
constexpr RegKey kHkeyClassesRoot = 0x80000000u;
constexpr RegKey kHkeyCurrentUser = 0x80000001u;
constexpr RegKey kHkeyLocalMachine = 0x80000002u;
constexpr RegKey kHkeyUsers = 0x80000003u;
constexpr RegKey kHkeyCurrentConfig = 0x80000005u;

constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kKeyWrite = 0x20006;
constexpr uint32_t kKeyAllAccess = 0xF003F;

// Message box styles and answers.
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbYesNo = 0x4;
constexpr uint32_t kMbIconError = 0x10;
constexpr uint32_t kMbIconQuestion = 0x20;
constexpr uint32_t kMbIconInformation = 0x40;
constexpr uint32_t kMbDefButton2 = 0x100;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Show commands.
constexpr int kSwHide = 0;
constexpr int kSwShowNormal = 1;
constexpr int kSwShowMaximized = 3;
constexpr int kSwShow = 5;

// File attributes.
constexpr uint32_t kAttributeNormal = 0;  // what SetFileAttributes(path, 0) asks for
constexpr uint32_t kAttributeDirectory = 0x10;
// A junction, symbolic link or mount point: the name leads somewhere else.
constexpr uint32_t kAttributeReparsePoint = 0x400;
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;

// Drive types (GetDriveType).
constexpr int kDriveUnknown = 0;
constexpr int kDriveNoRootDir = 1;
constexpr int kDriveRemovable = 2;
constexpr int kDriveFixed = 3;
constexpr int kDriveRemote = 4;
constexpr int kDriveCdRom = 5;
constexpr int kDriveRamDisk = 6;

// Buffer size for the system folders and the module path (the setup asks
// the system for at most 280 bytes).
constexpr std::size_t kSystemPathSize = 280;

// What removeThroughHandle did with a path.
enum class HandleRemoval {
    Removed,    // deleted through the handle that was checked
    Missing,    // nothing at the path
    OtherKind,  // a folder where a file was asked for, or the reverse: left alone
    Elsewhere,  // a reparse point, or a handle whose final path is another one: left alone
    Failed,     // still there: in use, access denied, a folder not empty
};

// A SHA-256 digest.
constexpr std::size_t kSha256Size = 32;

struct LocalTime {
    uint16_t year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};

// GetVersion's packed result, and GetVersionEx's major and minor version
// when available.
struct VersionInfo {
    uint32_t packed = 0;
    bool haveDetails = false;
    uint32_t major = 0;
    uint32_t minor = 0;
};

// The fields a shortcut carries.
struct ShellLinkFields {
    const char* target;
    const char* arguments;
    const char* workingFolder;
    const char* description;
    int showCommand;
};

class Platform {
  public:
    virtual ~Platform() = default;

    // ---- Files and folders --------------------------------------------
    // Opens a file; a closed File when it cannot be opened. Writing
    // replaces an existing file even when it is read-only, hidden or a
    // system file (its attributes are cleared first).
    virtual File openFile(const char* path, FileMode mode) = 0;
    // Creates one folder (mkdir). False when it exists or cannot be made.
    virtual bool makeFolder(const char* path) = 0;
    // Changes the process's current folder (chdir). False on failure.
    virtual bool changeFolder(const char* path) = 0;
    // Deletes a file. False when it is missing or cannot be deleted.
    virtual bool deleteFile(const char* path) = 0;
    // Sets a file's attributes (0: normal). False on failure.
    virtual bool setFileAttributes(const char* path, uint32_t attributes) = 0;
    // A file's attributes, or kInvalidAttributes when it does not exist.
    virtual uint32_t fileAttributes(const char* path) = 0;

    // ---- System folders and facts --------------------------------------
    // Each writes a NUL-terminated path into buffer (capacity bytes) and
    // returns true; false, buffer empty, when the folder is unknown or does
    // not fit.
    virtual bool windowsFolder(char* buffer, std::size_t capacity) = 0;  // GetWindowsDirectory
    virtual bool systemFolder(char* buffer, std::size_t capacity) = 0;   // GetSystemDirectory
    virtual bool tempFolder(char* buffer, std::size_t capacity) = 0;     // GetTempPath (ends in \)
    // The current user's desktop folder in the file system
    // (CSIDL_DESKTOPDIRECTORY). False when the shell cannot say.
    virtual bool desktopFolder(char* buffer, std::size_t capacity) = 0;
    // The full path of the running program's own file.
    virtual bool modulePath(char* buffer, std::size_t capacity) = 0;
    virtual LocalTime localTime() = 0;
    virtual VersionInfo version() = 0;

    // ---- Registry (string and number values) ----------------------------
    // Opens root\subKey (an empty subKey opens root itself) with the given
    // access. False, *key untouched, on failure.
    virtual bool regOpenKey(RegKey root, const char* subKey, uint32_t access, RegKey* key) = 0;
    // Creates or opens parent\subKey (RegCreateKey). False on failure.
    virtual bool regCreateKey(RegKey parent, const char* subKey, RegKey* key) = 0;
    // Reads a value's raw bytes (type not checked): *size is the buffer's
    // capacity on entry and the value's length on return. False when the
    // value is missing or larger than the buffer.
    virtual bool regQueryValue(RegKey key, const char* name, char* buffer, uint32_t* size) = 0;
    // Writes a REG_SZ value whose text is exactly length bytes. The length
    // counts no NUL; the real platform stores one after the text, as
    // Windows asks of REG_SZ data, so readers never run past its end.
    virtual bool regSetString(RegKey key, const char* name, const char* data, uint32_t length) = 0;
    // Writes a REG_DWORD value. False on failure.
    virtual bool regSetDword(RegKey key, const char* name, uint32_t value) = 0;
    virtual void regCloseKey(RegKey key) = 0;

    // ---- Shell -----------------------------------------------------------
    // Opens a file with its associated program, without waiting
    // (ShellExecute, default verb). False when that failed.
    virtual bool shellOpen(const char* path, int showCommand) = 0;
    // Adds a font file to the system's font table (AddFontResource).
    virtual bool addFont(const char* path) = 0;
    // Tells the running programs that the font table changed (WM_FONTCHANGE
    // to every top-level window) without waiting for any of them, so a hung
    // window cannot hold the caller up.
    virtual void announceFontChange() = 0;
    // Makes a shortcut (.lnk) at linkPath with the given fields, through the
    // shell link object. beforeSave (may be null) is called with context once
    // the link object is ready, just before it is saved. Returns false when
    // the link object could not be made (beforeSave not called) or the save
    // failed.
    virtual bool createShellLink(const ShellLinkFields& fields, const char* linkPath,
                                 void (*beforeSave)(void* context), void* context) = 0;

    // ---- Processes -------------------------------------------------------
    // Starts a command line (no quoting added, handles inherited, the
    // parent's environment and folder), waits for it without a time limit
    // and stores its exit code. False when the process could not be created.
    virtual bool runProcess(const char* commandLine, int showCommand, uint32_t* exitCode) = 0;
    // Starts a command line without waiting (WinExec). False on failure.
    virtual bool startProgram(const char* commandLine, int showCommand) = 0;

    // ---- User interface --------------------------------------------------
    // Shows a message box (owner may be null) and returns the answer.
    virtual int messageBox(WindowRef owner, const char* text, const char* caption,
                           uint32_t style) = 0;

    // ---- Drives ----------------------------------------------------------
    // Bit n set: drive letter 'A' + n exists.
    virtual uint32_t logicalDrives() = 0;
    // The type of a drive root such as "C:\" (kDrive...).
    virtual int driveType(const char* root) = 0;
    // Bytes free for the caller on the drive of root. False on failure.
    virtual bool freeSpace(const char* root, uint64_t* bytes) = 0;

    // ---- Removal (the uninstaller) ---------------------------------------
    // Removes an empty folder (RemoveDirectory). False when it is missing,
    // not empty or cannot be removed.
    virtual bool removeFolder(const char* path) = 0;
    // Deletes root\subKey, a key without subkeys, with its values
    // (RegDeleteKey). False when it is missing or cannot be deleted.
    virtual bool regDeleteKey(RegKey root, const char* subKey) = 0;
    // The full path with every part that exists in its long form (short 8.3
    // names expanded, as GetLongPathName gives them); the parts from the
    // first missing one on are kept as given. False, buffer empty, when a
    // part cannot be looked up for another reason than its absence, or the
    // result does not fit.
    virtual bool longPathName(const char* path, char* buffer, std::size_t capacity) = 0;
    // Removes the file (folder false) or empty folder (folder true) at path,
    // a full path in its long form, through one handle opened without
    // following a reparse point: only when that handle is no reparse point
    // and its final path is path (ignoring case), so nothing can be swapped
    // in between. A read-only file's attribute is cleared through the same
    // handle only when the delete refuses it, and put back when the delete
    // still fails or other names share the file.
    virtual HandleRemoval removeThroughHandle(const char* path, bool folder) = 0;

    // ---- Drives: the whole disk ---------------------------------------
    // Free bytes on the whole disk of root, whatever the caller's quota
    // (GetDiskFreeSpaceEx's third result). False on failure.
    virtual bool diskFreeBytes(const char* root, uint64_t* bytes) = 0;

    // ---- Digests ---------------------------------------------------------
    // The SHA-256 digest of size bytes, by the system's own implementation.
    // False when the system cannot compute it.
    virtual bool sha256(const void* data, std::size_t size, uint8_t digest[kSha256Size]) = 0;

    // ---- Files created ahead ------------------------------------------
    // An install writes one file while the next one's is made: creating a
    // file is most of what a small file costs, and a helper thread can do
    // it meanwhile. Only a file that does not exist yet is made this way,
    // so nothing that was there is touched before its turn. The defaults
    // make nothing, and the caller opens every file itself.
    //
    // Starts making a new, empty file at path (GBK), waiting first for the
    // one asked for before if it is still being made (at most one is pending;
    // an earlier one not taken is deleted).
    virtual void createAhead(const char* path) { (void)path; }
    // The file made ahead at path, open for writing like openFile's, or a
    // closed File when none was made there (it existed, could not be made,
    // or another path was asked for: that one is then deleted).
    virtual File takeCreatedAhead(const char* path) {
        (void)path;
        return File();
    }
    // Deletes a file made ahead and not taken (the install ended first).
    virtual void dropCreatedAhead() {}
};

}  // namespace kestrova
