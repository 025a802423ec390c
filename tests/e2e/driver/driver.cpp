#include "driver.h"

#include <cstdio>
#include <cwchar>

#include "output.h"
#include "screenshot.h"

namespace kestrova::e2e {
namespace {

constexpr DWORD kPollMs = 50;
constexpr double kDefaultExitTimeout = 30;
// Lets the program paint and Wine hand its drawing to the X server before
// the screen is copied.
constexpr long kDefaultSettleMs = 300;
constexpr DWORD kNewWindowSettleMs = 150;

std::string seconds(ULONGLONG ticks) {
    char text[32];
    std::snprintf(text, sizeof text, "%7.2fs", static_cast<double>(ticks) / 1000.0);
    return text;
}

std::string formatTimeout(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", value);
    return text;
}

}  // namespace

Driver::Driver(std::wstring shotsFolder, std::wstring boxLog, std::wstring windowLog)
    : shotsFolder_(std::move(shotsFolder)),
      boxes_(std::move(boxLog)),
      windows_(std::move(windowLog)) {}

Driver::~Driver() {
    if (process_) CloseHandle(process_);
    for (HANDLE file : heldFiles_) CloseHandle(file);
}

bool Driver::run(const std::vector<Step>& steps) {
    startTicks_ = GetTickCount64();
    for (const Step& step : steps) {
        result_.clear();
        failure_.clear();
        bool ok = runStep(step);
        // The logs list every box and window, also those no step waited for.
        observe();
        std::string stamp =
            "[" + seconds(GetTickCount64() - startTicks_) + "] line " + std::to_string(step.line);
        if (ok) {
            printLine(stamp + " ok: " + step.source + (result_.empty() ? "" : " -> " + result_));
            continue;
        }
        printLine(stamp + " FAILED: " + step.source);
        printLine("    " + failure_);
        if (!shotsFolder_.empty()) {
            std::string path, error;
            if (saveShot("failed", nullptr, path, error)) printLine("    screenshot: " + path);
        }
        if (process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            // No program outlives a failed run.
            TerminateProcess(process_, 255);
            printLine("    the program was still running and has been ended");
        }
        printLine("e2e_driver: failed at line " + std::to_string(step.line) + ": " + failure_);
        return false;
    }
    printLine("e2e_driver: all " + std::to_string(steps.size()) + " steps passed");
    return true;
}

bool Driver::runStep(const Step& step) {
    const std::string& verb = step.verb;
    if (verb == "start") return start(step);
    if (verb == "wait-exit") return waitExit(step);
    if (verb == "kill") return kill(step);
    if (verb == "sleep") return sleep(step);
    if (verb == "screenshot") return screenshot(step);
    if (verb == "mark") return mark(step);
    if (verb == "expect-elapsed") return expectElapsed(step);
    if (verb == "copy-files") return fileStep(step, true);
    if (verb == "delete-files") return fileStep(step, false);
    if (verb == "hold-file") return holdFile(step);
    if (verb == "expect-version") return expectVersion(step);
    if (verb == "shot-windows") return shotWindows(step);
    if (verb == "wait-window") return waitWindow(step);
    if (verb == "wait-gone") return waitGone(step);
    if (verb == "answer-box") return answerBox(step);
    if (verb == "close") return close(step);
    if (verb == "front") return front(step);
    if (verb == "read") return read(step);
    if (verb == "expect-text") return expectText(step);
    if (verb == "expect-state") return expectState(step);
    if (verb == "rect") return rect(step);
    if (verb == "click") return click(step);
    if (verb == "set-text") return setText(step);
    if (verb == "key") return key(step);
    if (verb == "expect-pixels") return expectPixels(step);
    if (verb == "expect-layout") return expectLayout(step);
    return fail("step \"" + verb + "\" is not implemented");
}

std::vector<MessageBoxInfo> Driver::observe() {
    if (!processId_) return {};
    std::vector<HWND> added = windows_.note(processId_, GetTickCount64() - startTicks_);
    if (shotWindows_ && !added.empty()) {
        // Long enough for a new window to paint, short enough for one that
        // lives a few hundred milliseconds (the extraction dialog).
        Sleep(kNewWindowSettleMs);
        std::wstring title = windows_.title(added.back());
        std::string name = "window";
        if (!title.empty()) {
            for (wchar_t& c : title) {
                if (wcschr(L"\\/:*?\"<>| ", c)) c = L'_';
            }
            name += "-" + narrow(title);
        }
        std::string path, error;
        if (saveShot(name, added.back(), path, error)) {
            printLine("    new window " + quoted(windows_.title(added.back())) + ": " + path);
        } else {
            printLine("    new window, no screenshot: " + error);
        }
    }
    return boxes_.note(processId_);
}

bool Driver::shotWindows(const Step&) {
    // Without a shots folder screenshots are skipped, here as in screenshot.
    shotWindows_ = !shotsFolder_.empty();
    if (!shotWindows_) result_ = "skipped (no --shots folder)";
    return true;
}

bool Driver::saveShot(const std::string& name, HWND window, std::string& path, std::string& error) {
    std::wstring file =
        shotsFolder_ + L"\\" + widen(std::to_string(++shotNumber_) + "-" + name + ".png");
    path = narrow(file);
    return saveScreenshot(file, IsWindow(window) ? window : nullptr, error);
}

bool Driver::fail(const std::string& message) {
    failure_ = message;
    return false;
}

bool Driver::start(const Step& step) {
    // One program at a time: the next may start when the last has ended
    // (the uninstaller after the setup that installed the product).
    if (process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT)
        return fail("the program started earlier is still running; wait-exit or kill it first");
    if (process_) CloseHandle(process_);
    process_ = nullptr;
    current_ = nullptr;
    std::wstring exe = widen(step.text("exe"));
    // command= is the whole command line as given (the way the system starts
    // a registered command); otherwise the quoted program and args=.
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (step.has("args")) commandLine += L" " + widen(step.text("args"));
    if (step.has("command")) commandLine = widen(step.text("command"));
    std::wstring folder = widen(step.text("cwd"));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        return fail("cannot start " + narrow(exe) + " (error " + std::to_string(GetLastError()) +
                    ")");
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    startedExe_ = exe;
    result_ = "process " + std::to_string(processId_) + ": " + narrow(commandLine);
    return true;
}

bool Driver::waitExit(const Step& step) {
    if (!process_) return fail("no program was started");
    double timeout = step.seconds("timeout", kDefaultExitTimeout);
    bool ended =
        waitFor(timeout, [this] { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; });
    if (!ended) {
        if (!failure_.empty()) return false;
        return fail("the program did not end within " + formatTimeout(timeout) +
                    "; its visible windows: " + visibleWindowsList());
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    result_ = "exit code " + std::to_string(code);
    if (step.has("code") && static_cast<long>(code) != step.number("code", 0)) {
        return fail("the program ended with exit code " + std::to_string(code) + ", expected " +
                    step.text("code"));
    }
    return true;
}

bool Driver::kill(const Step&) {
    if (!process_) return fail("no program was started");
    // As a user's task manager (or a power cut) ends it: no chance to tidy.
    TerminateProcess(process_, 9);
    if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0)
        return fail("the program did not end within 10 s of being killed");
    result_ = "killed";
    return true;
}

bool Driver::sleep(const Step& step) {
    Sleep(static_cast<DWORD>(step.number("ms", 0)));
    return true;
}

bool Driver::screenshot(const Step& step) {
    if (shotsFolder_.empty()) {
        result_ = "skipped (no --shots folder)";
        return true;
    }
    // Sent messages are handled before the program returns to its message
    // loop, so a reply means it has dealt with what earlier steps caused.
    // sync=0 skips this for a window that is about to close or whose thread
    // is busy: the screen is then taken as it is.
    if (step.number("sync", 1) != 0) {
        for (HWND window : topWindows(processId_)) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
        }
    }
    Sleep(static_cast<DWORD>(step.number("settle", kDefaultSettleMs)));
    std::string name = step.words.empty() ? step.text("name") : step.words[0];
    std::string path, error;
    if (!saveShot(name, current_, path, error)) return fail("screenshot " + path + ": " + error);
    result_ = path;
    return true;
}

bool Driver::waitFor(double seconds, const std::function<bool()>& probe) {
    ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    for (;;) {
        std::vector<MessageBoxInfo> open = observe();
        // Taken before the probe: a program that had ended already when the
        // probe failed will show nothing more.
        bool ended = process_ && WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
        if (probe()) return true;
        // A box that was open before the probe failed, and that the script
        // is not handling as its current window, is in the way of whatever
        // the step waits for.
        for (const MessageBoxInfo& box : open) {
            if (box.window != current_)
                return fail("a message box is open: " + BoxLog::describe(box));
        }
        DWORD code = 0;
        if (ended && GetExitCodeProcess(process_, &code)) {
            return fail("the program ended (exit code " + std::to_string(code) +
                        ") while waiting; its windows were: " + windows_.titles());
        }
        if (GetTickCount64() >= deadline) return false;
        Sleep(kPollMs);
    }
}

std::string Driver::describeWindow(HWND window) const {
    RECT place = placement(window);
    char where[96];
    std::snprintf(where, sizeof where, " at %ld,%ld size %ldx%ld", place.left, place.top,
                  place.right - place.left, place.bottom - place.top);
    return narrow(windowClass(window)) + " " + quoted(windowText(window)) + where;
}

std::string Driver::visibleWindowsList() const {
    std::string list;
    for (HWND window : topWindows(processId_)) {
        list += (list.empty() ? "" : "; ") + describeWindow(window);
    }
    return list.empty() ? "none" : list;
}

}  // namespace kestrova::e2e
