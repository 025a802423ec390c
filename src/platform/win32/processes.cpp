// Processes: running a command line and waiting for its exit code, or
// starting one and going on.
#include "platform/win32/handle.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace kestrova::win32 {
namespace {

// Creates the process for commandLine (no application name, so the system
// finds the program the way a command prompt would; no quoting is added).
// False when the text is not GBK or the process could not be created.
bool createProcess(const char* commandLine, int showCommand, bool inheritHandles, Handle* process) {
    // CreateProcessW may write into its command line, so it gets the
    // converted copy, which is writable.
    Wide command(commandLine);
    if (!command.ok() || command.length() == 0) return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, inheritHandles,
                        NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &info)) {
        return false;
    }
    Handle thread(info.hThread);
    process->attach(info.hProcess);
    return true;
}

}  // namespace

bool Win32Platform::runProcess(const char* commandLine, int showCommand, uint32_t* exitCode) {
    Handle process;
    if (!createProcess(commandLine, showCommand, true, &process)) return false;
    DWORD code = 0xFFFFFFFFu;
    if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &code)) {
        code = 0xFFFFFFFFu;
    }
    if (exitCode) *exitCode = code;
    return true;
}

bool Win32Platform::startProgram(const char* commandLine, int showCommand) {
    // Like WinExec: the started program inherits none of the setup's open
    // files, so it cannot keep the temporary files from being deleted.
    Handle process;
    return createProcess(commandLine, showCommand, false, &process);
}

}  // namespace kestrova::win32
