#pragma once
// A minimal platform on the host for the benchmarks: files only (the
// decoder opens its output through it); everything else reports failure.
#include "platform/platform.h"

namespace kestrova::bench {

class HostPlatform : public Platform {
  public:
    File openFile(const char* path, FileMode mode) override;
    bool makeFolder(const char*) override { return false; }
    bool changeFolder(const char*) override { return false; }
    bool deleteFile(const char* path) override;
    bool setFileAttributes(const char*, uint32_t) override { return false; }
    uint32_t fileAttributes(const char*) override { return kInvalidAttributes; }
    bool windowsFolder(char* b, std::size_t) override { return none(b); }
    bool systemFolder(char* b, std::size_t) override { return none(b); }
    bool tempFolder(char* b, std::size_t) override { return none(b); }
    bool desktopFolder(char* b, std::size_t) override { return none(b); }
    bool modulePath(char* b, std::size_t) override { return none(b); }
    LocalTime localTime() override { return {}; }
    VersionInfo version() override { return {}; }
    bool regOpenKey(RegKey, const char*, uint32_t, RegKey*) override { return false; }
    bool regCreateKey(RegKey, const char*, RegKey*) override { return false; }
    bool regQueryValue(RegKey, const char*, char*, uint32_t*) override { return false; }
    bool regSetString(RegKey, const char*, const char*, uint32_t) override { return false; }
    bool regSetDword(RegKey, const char*, uint32_t) override { return false; }
    void regCloseKey(RegKey) override {}
    bool shellOpen(const char*, int) override { return false; }
    bool addFont(const char*) override { return false; }
    void announceFontChange() override {}
    bool createShellLink(const ShellLinkFields&, const char*, void (*)(void*), void*) override {
        return false;
    }
    bool runProcess(const char*, int, uint32_t*) override { return false; }
    bool startProgram(const char*, int) override { return false; }
    int messageBox(WindowRef, const char*, const char*, uint32_t) override { return kIdNo; }
    uint32_t logicalDrives() override { return 0; }
    int driveType(const char*) override { return kDriveUnknown; }
    bool freeSpace(const char*, uint64_t*) override { return false; }
    bool removeFolder(const char*) override { return false; }
    bool regDeleteKey(RegKey, const char*) override { return false; }
    bool diskFreeBytes(const char*, uint64_t*) override { return false; }
    bool longPathName(const char*, char* b, std::size_t) override { return none(b); }
    HandleRemoval removeThroughHandle(const char*, bool) override { return HandleRemoval::Failed; }
    bool sha256(const void*, std::size_t, uint8_t*) override { return false; }

  private:
    static bool none(char* buffer) {
        buffer[0] = '\0';
        return false;
    }
};

}  // namespace kestrova::bench
