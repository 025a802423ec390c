#pragma once
// SetupState: the one process-wide record through which start-up, the
// wizard, the folder page and the install run meet. One instance is owned by
// the start-up code and handed down by reference; it is zero-filled when
// constructed. Texts are NUL-terminated GBK byte strings in fixed buffers.
//
// The install run works on a worker thread; the fields that both threads
// touch while it runs (filesDone, setupAborted, cancelRequested,
// installStarted, and installAbandoned, which the decoder may set on either
// thread) are individually atomic. Every other field is written before the
// worker starts or used by the worker alone.
#include <atomic>
#include <cstdint>

#include "platform/file.h"

namespace kestrova {

constexpr int kTextSize = 500;    // every path and name
constexpr int kOptionSize = 120;  // licenceOption, uninstallOption

struct SetupState {
    // Package and temporary files.
    char packagePath[kTextSize] = {};
    int32_t packageOffset = 0;  // kPackageStart, then the record base
    char scriptPath[kTextSize] = {};
    char licencePath[kTextSize] = {};
    char welcomePicturePath[kTextSize] = {};
    char softPicturePath[kTextSize] = {};
    char titlePicturePath[kTextSize] = {};
    bool hasSoftPicture = false;

    // Values from the setup script.
    char productName[kTextSize] = {};
    char installDir[kTextSize] = {};
    char licenceOption[kOptionSize] = {};
    char uninstallOption[kOptionSize] = {};
    uint32_t totalSizeKb = 0;
    int32_t fileCount = 0;
    int32_t dictionaryLength = 0;  // the package's deflate dictionary; 0: none

    // Folder selection and wizard.
    char defaultFolderName[kTextSize] = {};
    bool underProgramFiles = false;
    int32_t currentPage = 0;
    int32_t lastPage = 0;
    bool licenceAccepted = false;
    char runCommand[kTextSize] = {};

    // Install run and progress.
    std::atomic<bool> installStarted{false};
    std::atomic<int32_t> filesDone{0};
    int32_t lastShownFileCount = 0;
    int32_t currentStreamOffset = 0;
    int32_t currentStreamLength = 0;
    bool runAndDelete = false;
    char programGroupPath[kTextSize] = {};
    char dirLogPath[kTextSize] = {};
    char fileLogPath[kTextSize] = {};
    File dirLog;
    File fileLog;

    // Stop flags.
    std::atomic<bool> setupAborted{false};
    std::atomic<bool> cancelRequested{false};
    std::atomic<bool> installAbandoned{false};

    SetupState() = default;
    SetupState(const SetupState&) = delete;
    SetupState& operator=(const SetupState&) = delete;
};

// Only the first character of script lines 4 and 5 is kept, so an option is
// "1" exactly when its text begins with '1'.
inline bool optionIsOn(const char* option) {
    return option[0] == '1';
}

}  // namespace kestrova
