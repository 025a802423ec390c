// Steps on top-level windows and message boxes.
#include "driver.h"

namespace kestrova::e2e {
namespace {

constexpr double kDefaultWindowTimeout = 10;
constexpr double kBoxCloseTimeout = 5;

}  // namespace

WindowQuery Driver::query(const Step& step) const {
    WindowQuery query;
    query.className = widen(step.text("class"));
    query.title = step.match("title");
    query.withControlId = step.has("id");
    query.controlId = step.number("id", 0);
    query.controlText = step.match("text");
    query.processId = step.text("scope") == "any" ? 0 : processId_;
    return query;
}

bool Driver::currentWindow(std::string& error) const {
    if (!current_) {
        error = "no window to act on: find one with wait-window first";
        return false;
    }
    if (!IsWindow(current_)) {
        error = "the window found earlier is gone";
        return false;
    }
    return true;
}

bool Driver::waitWindow(const Step& step) {
    if (step.has("scope") && step.text("scope") != "any" && step.text("scope") != "program") {
        return fail("scope is \"program\" (the default) or \"any\"");
    }
    WindowQuery wanted = query(step);
    double timeout = step.seconds("timeout", kDefaultWindowTimeout);
    HWND found = nullptr;
    bool ok = waitFor(timeout, [&] {
        for (HWND window : topWindows(wanted.processId)) {
            if (wanted.matches(window)) {
                found = window;
                return true;
            }
        }
        return false;
    });
    if (!ok) {
        if (!failure_.empty()) return false;
        return fail("no window with " + wanted.describe() + " appeared within " +
                    std::to_string(static_cast<int>(timeout)) +
                    " s; visible windows of the program: " + visibleWindowsList());
    }
    current_ = found;
    result_ = describeWindow(found);
    return true;
}

bool Driver::waitGone(const Step& step) {
    WindowQuery gone = query(step);
    double timeout = step.seconds("timeout", kDefaultWindowTimeout);
    HWND left = nullptr;
    bool ok = waitFor(timeout, [&] {
        left = nullptr;
        for (HWND window : topWindows(gone.processId)) {
            if (gone.matches(window)) left = window;
        }
        return left == nullptr;
    });
    if (!ok) {
        if (!failure_.empty()) return false;
        return fail("a window with " + gone.describe() + " is still there after " +
                    std::to_string(static_cast<int>(timeout)) + " s: " + describeWindow(left));
    }
    return true;
}

bool Driver::answerBox(const Step& step) {
    if (!processId_) return fail("no program was started");
    int button = buttonId(step.text("button"));
    if (button == 0)
        return fail("unknown button \"" + step.text("button") + "\" (yes, no, ok, cancel, ...)");
    TextMatch title = step.match("title");
    TextMatch text = step.match("text");
    double timeout = step.seconds("timeout", kDefaultWindowTimeout);
    MessageBoxInfo box;
    bool ok = waitFor(timeout, [&] {
        for (const MessageBoxInfo& open : boxes_.note(processId_)) {
            if (title.matches(open.title) && text.matches(open.text)) {
                box = open;
                return true;
            }
        }
        return false;
    });
    if (!ok) {
        if (!failure_.empty()) return false;
        std::string wanted = text.present ? text.describe("text") : "any text";
        if (title.present) wanted += " " + title.describe("title");
        return fail("no message box with " + wanted + " appeared within " +
                    std::to_string(static_cast<int>(timeout)) +
                    " s; visible windows of the program: " + visibleWindowsList());
    }
    HWND control = nullptr;
    for (HWND candidate : descendants(box.window)) {
        if (controlId(candidate) == button) control = candidate;
    }
    if (!control) {
        return fail("the message box " + BoxLog::describe(box) + " has no " + step.text("button") +
                    " button");
    }
    PostMessageW(control, BM_CLICK, 0, 0);
    boxes_.answered(box.window, button);
    ok = waitFor(kBoxCloseTimeout,
                 [&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); });
    if (!ok) return fail("the message box did not close after pressing " + step.text("button"));
    result_ = BoxLog::describe(box);
    return true;
}

bool Driver::close(const Step&) {
    std::string error;
    if (!currentWindow(error)) return fail(error);
    // What the window's close box does.
    PostMessageW(current_, WM_SYSCOMMAND, SC_CLOSE, 0);
    result_ = describeWindow(current_);
    return true;
}

bool Driver::front(const Step&) {
    std::string error;
    if (!currentWindow(error)) return fail(error);
    // As a click on its title bar: above the windows of other programs
    // (a document the setup opened), for the screenshots that follow.
    SetWindowPos(current_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(current_);
    result_ = describeWindow(current_);
    return true;
}

}  // namespace kestrova::e2e
