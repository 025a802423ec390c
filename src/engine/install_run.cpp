#include "engine/install_run.h"

#include <cstring>

#include "engine/earlier_logs.h"
#include "engine/font_install.h"
#include "engine/path_macros.h"
#include "engine/registry_import.h"
#include "engine/shortcuts.h"
#include "engine/uninstall_log.h"
#include "engine/uninstaller_registration.h"
#include "package/format.h"
#include "package/lzss_decoder.h"
#include "package/script_reader.h"
#include "resources/texts.h"
#include "state/bounded_text.h"

namespace kestrova {
namespace {

enum class PassEnd { Completed, Quit, Abandoned };

bool startsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// Extensions compare in lower case: "APP.EXE" runs like "app.exe".
void lowerLastThree(const char* path, std::size_t n, char extension[4]) {
    for (int i = 0; i < 3; ++i) {
        char c = path[n - 3 + i];
        extension[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    extension[3] = '\0';
}

// The checkpoint before each record: a pending Cancel asks the quit
// question. True when the user confirmed (setupAborted is then set).
bool userQuits(UserPort& user, SetupState& state) {
    if (!state.cancelRequested.load()) return false;
    if (user.confirmQuit()) {
        state.setupAborted = true;
        return true;
    }
    state.cancelRequested = false;
    return false;
}

// A line read from the script, its line end cut off and its leading macro
// expanded into path.
void lineToPath(Platform& platform, UserPort& user, const SetupState& state, char* line, int length,
                char (&path)[kExpandedPathSize]) {
    removeLineEnd(line, length);
    copyText(path, line);
    expandPathMacros(platform, user, state, path, sizeof path);
}

class InstallRun {
  public:
    InstallRun(Platform& platform, UserPort& user, SetupState& state)
        : platform_(platform), user_(user), state_(state), decoder_(platform, state, user) {}

    void run();

  private:
    struct FileLine;
    int sectionLine(File& script, char* line, int capacity, int* section);
    bool createFolders(File& script);
    void readFileLine(File& script, FileLine* out);
    bool isPlainFile(const FileLine& file) const;
    PassEnd copyFiles(File& script, File& package);
    void afterCopy(const char* path, char kind);
    void runOrRegister(const char* path, const char* extension);
    bool secondPass();  // false when the user quit
    void finish();
    void endEarly();

    Platform& platform_;
    UserPort& user_;
    SetupState& state_;
    LzssDecoder decoder_;
    char windows_[kExpandedPathSize] = "[Windows Directory]";
    char desktop_[kExpandedPathSize] = "[Windows Desktop]";
    int64_t bodyEnd_ = 0;  // where the licence text at the script's tail begins
};

void InstallRun::run() {
    expandPathMacros(platform_, user_, state_, windows_, sizeof windows_);
    expandPathMacros(platform_, user_, state_, desktop_, sizeof desktop_);

    File package = platform_.openFile(state_.packagePath, FileMode::Read);
    if (!package) {
        user_.packageReadError();
        state_.setupAborted = true;
        return endEarly();
    }
    File script = platform_.openFile(state_.scriptPath, FileMode::Read);
    if (!script) {
        user_.scriptReadError();
        state_.setupAborted = true;
        return endEarly();
    }

    // No line of the licence text at the script's tail is ever taken for a
    // line of a section.
    bodyEnd_ = scriptBodyEnd(script);
    script.seek(0);
    PassEnd end = PassEnd::Completed;
    if (createFolders(script)) end = copyFiles(script, package);
    script.close();
    package.close();
    if (end != PassEnd::Completed) return endEarly();

    if (!secondPass()) return endEarly();
    finish();
}

// Reads the next line of the current section: -1 at the end of the script
// or of its lines, and at any section line, whose index goes to *section
// (-1 at the end). A section's loop therefore never runs on into the lines
// of another section, whichever end marker is missing.
int InstallRun::sectionLine(File& script, char* line, int capacity, int* section) {
    int n = readBodyLine(script, bodyEnd_, line, capacity);
    *section = n < 0 ? -1 : sectionIndex(line, n);
    return *section >= 0 ? -1 : n;
}

// [Directory]: every folder line is logged (unless it lies on the desktop)
// and created from the top down. True when the section ended at "[File]".
bool InstallRun::createFolders(File& script) {
    seekSection(script, format::kSectionDirectory);
    char line[format::kLineBuffer];
    char path[kExpandedPathSize];
    int n, section;
    while ((n = sectionLine(script, line, sizeof line, &section)) >= 0) {
        lineToPath(platform_, user_, state_, line, n, path);
        if (!startsWith(path, desktop_)) writeLogLine(state_, LogKind::Directory, path);
        createFolderPath(platform_, path);
    }
    return section == kSectionIndexFile;
}

// One line of [File], read and made ready: the end of the section, a
// "NONE" line, or a record with its target path expanded.
struct InstallRun::FileLine {
    enum Kind { End, NoneApp, Record } kind = End;
    bool runAndDelete = false;
    FileRecord record;
    char path[kExpandedPathSize];
};

void InstallRun::readFileLine(File& script, FileLine* out) {
    char line[format::kLineBuffer];
    int n = readBodyLine(script, bodyEnd_, line, sizeof line);
    // The section ends at "[TotalSize]", at any other section line, and
    // where the script ends.
    out->kind = FileLine::End;
    out->runAndDelete = false;
    if (n < 0 || sectionIndex(line, n) >= 0) return;
    n = takeRunAndDeleteMarks(line, n, &out->runAndDelete);
    if (isNoneAppLine(line, n)) {
        out->kind = FileLine::NoneApp;
        return;
    }
    out->kind = FileLine::Record;
    parseFileRecord(line, n, state_.packageOffset, &out->record);
    copyText(out->path, out->record.path);  // padding spaces already removed
    expandPathMacros(platform_, user_, state_, out->path, sizeof out->path);
}

// A file whose writing nothing else follows: no program runs, no font or
// registry data is taken in, so the next file may be made meanwhile.
bool InstallRun::isPlainFile(const FileLine& file) const {
    if (file.runAndDelete || file.record.kind == format::kKindRunOrRegister ||
        file.record.kind == format::kKindRegistryData)
        return false;
    char extension[4];
    fileExtension(file.path, extension);
    return std::strcmp(extension, "ttf") != 0;
}

// [File]: the three picture records are skipped (start-up unpacked them);
// every other record is decoded to its target, counted and acted on. While
// a plain file is written, the platform makes the next record's file if
// it does not exist yet (createAhead): that file is only asked for once
// the one before it exists, so two records of one path never meet.
PassEnd InstallRun::copyFiles(File& script, File& package) {
    char line[format::kLineBuffer];
    int section;
    for (int i = 0; i < format::kPictureRecordCount; ++i)
        if (sectionLine(script, line, sizeof line, &section) < 0) return PassEnd::Completed;

    // A file made ahead that the run did not reach (the user quit or
    // stopped) is deleted: it was empty and never the product's.
    struct DropAhead {
        Platform& platform;
        ~DropAhead() { platform.dropCreatedAhead(); }
    } dropAhead{platform_};

    FileLine lines[2];
    FileLine* current = &lines[0];
    FileLine* next = &lines[1];
    bool haveNext = false;
    // Reads the next line now, and has its file made ahead.
    auto prepareNext = [&] {
        readFileLine(script, next);
        haveNext = true;
        if (next->kind == FileLine::Record) platform_.createAhead(next->path);
    };
    char message[kExpandedPathSize + 64];
    for (;;) {
        if (userQuits(user_, state_)) return PassEnd::Quit;
        if (haveNext) {
            FileLine* taken = next;
            next = current;
            current = taken;
            haveNext = false;
        } else {
            readFileLine(script, current);
        }
        if (current->kind == FileLine::End) break;

        state_.runAndDelete = current->runAndDelete;
        if (current->kind == FileLine::NoneApp) {
            writeLogLine(state_, LogKind::File, format::kNoneAppMarker);
            continue;
        }

        const FileRecord& record = current->record;
        const char* path = current->path;
        state_.currentStreamLength = record.length;
        state_.currentStreamOffset = record.offset;

        const char* slash = std::strrchr(path, '\\');
        const char* fileName = slash ? slash + 1 : path;
        if (joinText(message, texts::kStatusCopyBefore, fileName, texts::kStatusCopyAfter))
            user_.status(message);

        // Opening the target for writing replaces a read-only, hidden or
        // system file (the platform clears its attributes when it must).
        bool written = false;
        const bool plain = isPlainFile(*current);
        if (!state_.installAbandoned.load()) {
            File created = platform_.takeCreatedAhead(path);
            const bool madeAhead = created.isOpen();
            if (plain && madeAhead) prepareNext();
            written = decoder_.decodeStream(&package, path, state_.currentStreamOffset,
                                            state_.currentStreamLength, record.codec, &created);
            if (plain && !madeAhead && !state_.installAbandoned.load()) prepareNext();
        }
        // After the user chose to stop, nothing more is read or run: the
        // file was not written and the wizard is already closing.
        if (state_.installAbandoned.load()) return PassEnd::Abandoned;
        // Only a file that was written is listed for the uninstaller (one
        // that did not fit on the disk is gone). Files inside the Windows
        // folder are left to the system, unless they lie on the desktop
        // (which may be inside it).
        if (written && record.kind != format::kKindNotLogged &&
            (!startsWith(path, windows_) || startsWith(path, desktop_))) {
            writeLogLine(state_, LogKind::File, path);
        }
        state_.filesDone.fetch_add(1);
        afterCopy(path, record.kind);
    }
    return PassEnd::Completed;
}

// Programs run and are awaited, components are registered, anything else
// is opened with its program, without waiting.
void InstallRun::runOrRegister(const char* path, const char* extension) {
    if (std::strcmp(extension, "exe") == 0)
        runAndWait(platform_, user_, path, kSwShow);
    else if (std::strcmp(extension, "dll") == 0 || std::strcmp(extension, "ocx") == 0)
        registerComponent(platform_, user_, state_, path);
    else
        platform_.shellOpen(path, kSwShowMaximized);
}

void InstallRun::afterCopy(const char* path, char kind) {
    if (state_.runAndDelete) {
        user_.status(texts::kStatusInstallComponents);
        runAndWait(platform_, user_, path, kSwShow);
        platform_.deleteFile(path);
        return;
    }
    char extension[4];
    fileExtension(path, extension);
    if (std::strcmp(extension, "ttf") == 0) {
        installFont(platform_, windows_, path);
    } else if (kind == format::kKindRunOrRegister) {
        runOrRegister(path, extension);
    } else if (kind == format::kKindRegistryData) {
        importRegistryFile(platform_, path);
        platform_.deleteFile(path);
    }
}

// [AutoReg], [ClearFile] and [Menu], from a second reading of the script.
// A script that cannot be opened again skips them all. Each section runs
// only when the one before it ended at its own line: a missing "[ClearFile]"
// never makes the [Menu] lines files to delete.
bool InstallRun::secondPass() {
    File script = platform_.openFile(state_.scriptPath, FileMode::Read);
    if (!script) return true;

    char line[format::kLongLineBuffer];
    char path[kExpandedPathSize];
    int n, section = -1;
    seekSection(script, format::kSectionAutoReg);
    user_.status(texts::kStatusRegister);
    for (;;) {
        if (userQuits(user_, state_)) return false;
        if ((n = sectionLine(script, line, sizeof line, &section)) < 0) break;
        lineToPath(platform_, user_, state_, line, n, path);
        char extension[4];
        autoRegExtension(path, extension);
        if (extension[0] != '\0') runOrRegister(path, extension);
    }
    if (section == kSectionIndexClearFile) {
        while ((n = sectionLine(script, line, sizeof line, &section)) >= 0) {
            lineToPath(platform_, user_, state_, line, n, path);
            platform_.deleteFile(path);
        }
    }
    if (section == kSectionIndexMenu &&
        (n = sectionLine(script, line, sizeof line, &section)) >= 0) {
        removeLineEnd(line, n);
        char group[kExpandedPathSize];
        state_.programGroupPath[0] = '\0';
        if (joinText(group, "[Start Menu]\\", line, "\\")) {
            expandPathMacros(platform_, user_, state_, group, sizeof group);
            if (!copyText(state_.programGroupPath, group)) state_.programGroupPath[0] = '\0';
        }
        user_.status(texts::kStatusShortcuts);
        // A program group that did not fit gets no shortcuts rather than
        // shortcuts in a wrong folder. The lines end at "[Run]" or, when the
        // script has none, where the licence text begins.
        while ((n = sectionLine(script, line, sizeof line, &section)) >= 0) {
            if (state_.programGroupPath[0])
                createShortcutsForLine(platform_, user_, state_, line, n);
        }
    }
    script.close();
    if (optionIsOn(state_.uninstallOption) && state_.programGroupPath[0])
        createUninstallerShortcut(platform_, user_, state_);
    return true;
}

void InstallRun::finish() {
    closeUninstallLogs(state_);
    user_.status(texts::kStatusUpdatingSystem);
    registerUninstaller(platform_, user_, state_);
    rewriteDirectoryLog(platform_, state_);  // does nothing with the option off
    removeRepeatedFileLogLines(platform_, state_);
    registerLogDigests(platform_, state_);  // of the logs as they now stay
    state_.filesDone.fetch_add(1);
}

// The logs keep what was written so far (every line is already on disk);
// the run closes them itself so that nothing else closes them under it.
void InstallRun::endEarly() {
    closeUninstallLogs(state_);
}

}  // namespace

void installRun(Platform& platform, UserPort& user, SetupState& state) {
    bool expected = false;
    if (!state.installStarted.compare_exchange_strong(expected, true)) return;
    InstallRun run(platform, user, state);
    run.run();
}

bool runAndWait(Platform& platform, UserPort& user, const char* commandLine, int showCommand,
                uint32_t* exitCode) {
    uint32_t code = 0;
    if (!platform.runProcess(commandLine, showCommand, &code)) {
        user.processStartError();
        return false;
    }
    if (exitCode) *exitCode = code;
    return true;
}

void registerComponent(Platform& platform, UserPort& user, const SetupState& state,
                       const char* path) {
    char command[kExpandedPathSize + 64];
    if (!joinText(command, "[Windows System]\\regsvr32.exe \"", path, "\" /s")) return;
    expandPathMacros(platform, user, state, command, sizeof command);
    runAndWait(platform, user, command, kSwShow);
}

void fileExtension(const char* path, char extension[4]) {
    std::size_t n = std::strlen(path);
    if (n <= 4)
        extension[0] = '\0';
    else
        lowerLastThree(path, n, extension);
}

void autoRegExtension(const char* path, char extension[4]) {
    std::size_t n = std::strlen(path);
    if (n < 4 || path[n - 4] != '.')
        extension[0] = '\0';
    else
        lowerLastThree(path, n, extension);
}

}  // namespace kestrova
