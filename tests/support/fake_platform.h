#pragma once
// FakePlatform: the platform for fast tests. Drive-letter paths map into a
// temporary folder (C:\a\b -> <root>/C/a/b), the registry is an in-memory
// tree, message boxes are answered from a script and recorded, and
// processes, fonts, opens, status texts and shortcuts are recorded.
//
// Defaults: Windows folder C:\WINDOWS, system folder C:\WINDOWS\SYSTEM32,
// temporary folder C:\TEMP\, desktop C:\Users\Setup\Desktop, the shell
// folder values "Common Programs" and "Common Startup" under
// HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders, and
// an existing HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall key.
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/user_port.h"
#include "platform/platform.h"

namespace kestrova::test {

class RecordingPort;

struct MessageBoxCall {
    WindowRef owner;
    std::string text;
    std::string caption;
    uint32_t style;
    int answer;
};

struct ProcessCall {
    std::string commandLine;
    int showCommand;
    bool waited;
};

struct ShellLinkCall {
    std::string linkPath;
    std::string target, arguments, workingFolder, description;
    int showCommand;
    bool saved;
};

struct StatusCall {
    WindowRef dialog;
    int controlId;
    std::string text;
};

class FakePlatform : public Platform {
  public:
    FakePlatform();
    ~FakePlatform() override;

    // ---- Test controls ---------------------------------------------------
    // The host path a Windows path maps to; "" (no file at all) for a path
    // with a ".." component, which could leave the temporary folder.
    std::string hostPath(const std::string& windowsPath) const;
    bool exists(const std::string& windowsPath) const;
    bool isFolder(const std::string& windowsPath) const;
    std::string readFile(const std::string& windowsPath) const;                // "" when missing
    void writeFile(const std::string& windowsPath, const std::string& bytes);  // makes folders
    void makeFolders(const std::string& windowsPath);                          // every level

    // Files opened for writing at these exact paths accept no bytes (a full
    // disk); opening them still succeeds.
    std::set<std::string> failWrites;
    // Files opened for writing accept every byte into their buffer, and the
    // close finds that none could be stored (a disk that fills up late).
    // Only where the C library can make such a stream (glibc).
    bool writesFailAtClose = false;
    // Opening these exact paths fails (in either mode).
    std::set<std::string> failOpens;
    // Files made ahead: every path createAhead made a file at, in order, and
    // the one made and not yet taken or dropped ("" when none).
    std::vector<std::string> madeAhead;
    std::string pendingAhead;

    // Answers for the next message boxes, in order; when the queue is empty
    // a Yes/No box answers No and any other box OK.
    std::deque<int> answers;
    std::vector<MessageBoxCall> messageBoxes;

    // Processes: whether creation succeeds and the exit code they return.
    bool processesStart = true;
    uint32_t processExitCode = 0;
    std::vector<ProcessCall> processes;
    std::vector<std::string> opened;  // shellOpen paths
    std::vector<std::string> fonts;
    int fontChanges = 0;  // announceFontChange calls
    std::vector<ShellLinkCall> links;
    bool shellLinksAvailable = true;
    std::vector<StatusCall> statusTexts;
    std::vector<std::string> deleted;  // deleteFile calls, successful or not

    // System facts.
    std::string windows = "C:\\WINDOWS";
    std::string system = "C:\\WINDOWS\\SYSTEM32";
    std::string temp = "C:\\TEMP\\";
    std::string desktop = "C:\\Users\\Setup\\Desktop";
    bool desktopAvailable = true;
    std::string module = "C:\\Downloads\\setup.exe";
    LocalTime time{2004, 3, 5, 5, 9, 7, 3, 45};
    VersionInfo versionInfo{0x0A280105u, true, 5, 1};  // NT family, 5.1
    uint32_t drives = 1u << 2;                         // C:
    std::map<std::string, int> driveTypes;             // "C:\\" -> type; default fixed
    uint64_t freeBytes = 10ull << 30;
    std::string currentFolder;

    // The wizard's user port on this fake (recording_port.h): the setup's
    // message boxes, answered and recorded here, those of a page owned by
    // page; status texts recorded in statusTexts.
    UserPort& user(WindowRef page = nullptr);

    // ---- Registry controls -------------------------------------------------
    // Key paths are "ROOT\\sub\\key" with the root spelled as a number
    // (see keyName); names compare without regard to ASCII case.
    void setValue(RegKey root, const std::string& path, const std::string& name,
                  const std::string& data);
    bool getValue(RegKey root, const std::string& path, const std::string& name,
                  std::string* data) const;
    bool keyExists(RegKey root, const std::string& path) const;
    // A value's type: 1 (REG_SZ) for setValue and regSetString, 4
    // (REG_DWORD, data four bytes, lowest first) for regSetDword; 0 when
    // the value is missing.
    uint32_t valueType(RegKey root, const std::string& path, const std::string& name) const;
    void deleteKey(RegKey root, const std::string& path);  // and everything below
    // Keys opened or created and not yet closed.
    int openKeyCount() const { return static_cast<int>(handles_.size()); }
    // regCreateKey fails for these key paths (without the root), as for a
    // key the user may not create.
    std::set<std::string> failCreateKeys;
    // Every key that regCreateKey made (not merely opened), "root\\path".
    std::vector<std::string> createdKeys;

    // ---- Platform ----------------------------------------------------------
    File openFile(const char* path, FileMode mode) override;
    bool makeFolder(const char* path) override;
    bool changeFolder(const char* path) override;
    bool deleteFile(const char* path) override;
    bool setFileAttributes(const char* path, uint32_t attributes) override;
    uint32_t fileAttributes(const char* path) override;
    bool windowsFolder(char* buffer, std::size_t capacity) override;
    bool systemFolder(char* buffer, std::size_t capacity) override;
    bool tempFolder(char* buffer, std::size_t capacity) override;
    bool desktopFolder(char* buffer, std::size_t capacity) override;
    bool modulePath(char* buffer, std::size_t capacity) override;
    LocalTime localTime() override { return time; }
    VersionInfo version() override { return versionInfo; }
    bool regOpenKey(RegKey root, const char* subKey, uint32_t access, RegKey* key) override;
    bool regCreateKey(RegKey parent, const char* subKey, RegKey* key) override;
    bool regQueryValue(RegKey key, const char* name, char* buffer, uint32_t* size) override;
    bool regSetString(RegKey key, const char* name, const char* data, uint32_t length) override;
    bool regSetDword(RegKey key, const char* name, uint32_t value) override;
    void regCloseKey(RegKey key) override;
    bool shellOpen(const char* path, int showCommand) override;
    bool addFont(const char* path) override;
    void announceFontChange() override { ++fontChanges; }
    bool createShellLink(const ShellLinkFields& fields, const char* linkPath,
                         void (*beforeSave)(void*), void* context) override;
    bool runProcess(const char* commandLine, int showCommand, uint32_t* exitCode) override;
    bool startProgram(const char* commandLine, int showCommand) override;
    int messageBox(WindowRef owner, const char* text, const char* caption, uint32_t style) override;
    uint32_t logicalDrives() override { return drives; }
    int driveType(const char* root) override;
    bool freeSpace(const char* root, uint64_t* bytes) override;

    // Removal: removeFolder removes an empty folder only; regDeleteKey
    // deletes a key that has no subkeys.
    bool removeFolder(const char* path) override;
    bool regDeleteKey(RegKey root, const char* subKey) override;

    // The whole disk's free bytes per root ("D:\\"); a root not listed
    // fails, like a drive without a medium.
    std::map<std::string, uint64_t> diskFree;
    bool diskFreeBytes(const char* root, uint64_t* bytes) override;

    // The uninstaller's checked removal. A host symbolic link stands for a
    // reparse point: fileAttributes marks it, and removeThroughHandle
    // refuses a path whose host path resolves elsewhere. longPathName
    // expands the short names listed here (short full path -> long full
    // path, each a whole prefix, ASCII case ignored).
    std::map<std::string, std::string> shortNames;
    bool longPathName(const char* path, char* buffer, std::size_t capacity) override;
    HandleRemoval removeThroughHandle(const char* path, bool folder) override;
    std::vector<std::string> handleRemovals;  // removeThroughHandle calls
    bool sha256(const void* data, std::size_t size, uint8_t digest[kSha256Size]) override;
    // Made at once, on the caller's thread: the file is there from the
    // request on, as it may be on Windows.
    void createAhead(const char* path) override;
    File takeCreatedAhead(const char* path) override;
    void dropCreatedAhead() override;

    const std::string& root() const { return root_; }

  private:
    struct Key {
        std::map<std::string, std::string> values;             // lower-cased name -> data
        std::map<std::string, uint32_t> types;                 // lower-cased name -> type
        std::map<std::string, std::unique_ptr<Key>> children;  // lower-cased name
    };
    Key* findKey(RegKey root, const std::string& path, bool create, bool* created);
    const Key* findKeyConst(RegKey root, const std::string& path) const;
    std::string keyPathOf(RegKey key) const;  // "root\\path" of an open handle

    std::string root_;
    std::map<RegKey, std::unique_ptr<Key>> roots_;
    std::map<RegKey, std::string> handles_;  // open handle -> "root\\path"
    RegKey nextHandle_ = 0x1000;

  private:
    std::shared_ptr<RecordingPort> port_;
};

}  // namespace kestrova::test
