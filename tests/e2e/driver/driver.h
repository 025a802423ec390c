#pragma once
// Runs the steps of a script against the program it started (one at a
// time): finds its windows, acts on them, answers its message boxes and
// checks what it shows.
// Prints one line per step; stops at the first step that fails.
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "box_log.h"
#include "script.h"
#include "window_log.h"

namespace kestrova::e2e {

class Driver {
  public:
    // shotsFolder: where screenshots go (empty: nowhere); boxLog and
    // windowLog: the files of message boxes and of windows seen (empty:
    // none).
    Driver(std::wstring shotsFolder, std::wstring boxLog, std::wstring windowLog);
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;
    ~Driver();

    // Runs every step. True when all passed; false after the first failure,
    // which is printed, screenshotted, and ends the started program.
    bool run(const std::vector<Step>& steps);

  private:
    bool runStep(const Step& step);

    // Steps (driver.cpp: the program and waiting; window_steps.cpp: windows
    // and boxes; control_steps.cpp: controls; file_steps.cpp: files and
    // time). Each returns false with failure_ set, or true with an optional
    // detail in result_.
    bool start(const Step& step);
    bool waitExit(const Step& step);
    bool sleep(const Step& step);
    bool kill(const Step& step);
    bool screenshot(const Step& step);
    bool mark(const Step& step);
    bool expectElapsed(const Step& step);
    // copy-files (copy) and delete-files; hold-file keeps one open.
    bool fileStep(const Step& step, bool copy);
    bool holdFile(const Step& step);
    // expect-version: a string of a file's version resource, or (field
    // "fixed") its fixed file version, as Windows reads them.
    bool expectVersion(const Step& step);
    bool shotWindows(const Step& step);
    bool waitWindow(const Step& step);
    bool waitGone(const Step& step);
    bool answerBox(const Step& step);
    bool close(const Step& step);
    bool front(const Step& step);
    bool read(const Step& step);
    bool expectText(const Step& step);
    bool expectState(const Step& step);
    bool rect(const Step& step);
    bool click(const Step& step);
    bool setText(const Step& step);
    bool key(const Step& step);
    // pixel_steps.cpp: the colours the current window shows on the screen.
    bool expectPixels(const Step& step);
    // layout_steps.cpp: its controls inside, apart and with their texts whole.
    bool expectLayout(const Step& step);
    // A real click of the mouse at the middle of the part of control that
    // can be seen (control_steps.cpp).
    bool clickWithMouse(HWND control);

    // Polls probe every 50 ms until it returns true or the time is up
    // (false, failure_ empty). An open message box of the program that the
    // probe does not accept ends the wait at once with the box's text as
    // the failure: a step never waits out its timeout behind an error box,
    // nor after the program has ended.
    bool waitFor(double seconds, const std::function<bool()>& probe);
    WindowQuery query(const Step& step) const;
    // The window acted on: the last one found by wait-window or answer-box.
    bool currentWindow(std::string& error) const;
    // The control of the current window selected by the step's id, class
    // (and, for click, text); the window itself when the step names none.
    // Hidden controls count only when wanted.
    HWND findControl(const Step& step, bool selectByText, bool includeHidden, std::string& error);
    std::string describeWindow(HWND window) const;
    std::string visibleWindowsList() const;
    bool fail(const std::string& message);
    // Notes the program's message boxes and windows (and photographs new
    // windows when asked to); returns its open boxes that nobody answered.
    std::vector<MessageBoxInfo> observe();
    // Saves window's frame (the whole screen for null) as N-name.png in the
    // shots folder; false with error.
    bool saveShot(const std::string& name, HWND window, std::string& path, std::string& error);

    std::wstring shotsFolder_;
    BoxLog boxes_;
    WindowLog windows_;
    std::map<std::string, ULONGLONG> marks_;  // mark NAME -> tick count
    bool shotWindows_ = false;                // a screenshot of each new window (step shot-windows)
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    std::wstring startedExe_;  // the program's file, for its dialog templates
    HWND current_ = nullptr;
    int shotNumber_ = 0;
    ULONGLONG startTicks_ = 0;
    std::string result_;
    std::string failure_;
    std::vector<HANDLE> heldFiles_;  // open until the driver ends (step hold-file)
};

}  // namespace kestrova::e2e
