#pragma once
// The install run: the whole installation from the package, on the worker
// thread that the progress page starts. It creates the folders of
// [Directory], decodes every [File] record into its target and runs,
// registers, imports or installs it by kind and extension, then runs
// [AutoReg], deletes [ClearFile], makes the [Menu] shortcuts, closes and
// sorts the uninstall logs and registers the uninstaller. Progress goes to
// filesDone (one per file record, one more at the very end) and to the
// user port's status line.
#include <cstdint>

#include "engine/user_port.h"
#include "platform/platform.h"
#include "state/setup_state.h"

namespace kestrova {

// Runs the installation once per process (a second call returns at once).
// Every way out closes the files the run opened and the uninstall logs, so
// the wizard never has to close a file under a running worker. Ends early,
// with setupAborted set, when the package or the script cannot be opened
// (after telling user), when the user confirms the quit
// question, or when the user chose to stop after a file could not be
// written; only a completed run adds the final count.
void installRun(Platform& platform, UserPort& user, SetupState& state);

// Starts a command line, waits for it and returns its exit code; tells
// user (processStartError) and returns false when it cannot be started.
bool runAndWait(Platform& platform, UserPort& user, const char* commandLine, int showCommand,
                uint32_t* exitCode = nullptr);

// Registers a component silently: [Windows System]\regsvr32.exe "path" /s,
// awaited.
void registerComponent(Platform& platform, UserPort& user, const SetupState& state,
                       const char* path);

// The lower-cased last three characters of a [File] target longer than four
// characters (whether or not a dot precedes them); empty otherwise.
void fileExtension(const char* path, char extension[4]);

// The lower-cased extension of an [AutoReg] path: only when its fourth
// character from the end is a dot; empty otherwise.
void autoRegExtension(const char* path, char extension[4]);

}  // namespace kestrova
