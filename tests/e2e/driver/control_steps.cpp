// Steps on the controls of the current window: reading, checking and
// acting on them.
#include <cstdio>

#include "driver.h"

namespace kestrova::e2e {
namespace {

constexpr double kDefaultControlTimeout = 5;
constexpr UINT kMessageTimeoutMs = 2000;
constexpr DWORD kMousePauseMs = 100;
// How many pauses a placed mouse pointer must stay where it was put.
constexpr int kMouseStillChecks = 4;
constexpr int kMouseAttempts = 3;

std::string describeControl(HWND control) {
    return "id=" + std::to_string(controlId(control)) + " " + narrow(windowClass(control)) + " " +
           quoted(windowText(control));
}

struct KeyName {
    const char* name;
    UINT key;
};
constexpr KeyName kKeys[] = {
    {"enter", VK_RETURN}, {"esc", VK_ESCAPE}, {"tab", VK_TAB},   {"space", VK_SPACE},
    {"up", VK_UP},        {"down", VK_DOWN},  {"left", VK_LEFT}, {"right", VK_RIGHT},
};

int checkState(HWND control) {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &state);
    return state == BST_CHECKED ? 1 : 0;
}

}  // namespace

HWND Driver::findControl(const Step& step, bool selectByText, bool includeHidden,
                         std::string& error) {
    if (!currentWindow(error)) return nullptr;
    bool byId = step.has("id");
    long id = step.number("id", 0);
    std::wstring kind = widen(step.text("class"));
    TextMatch text = selectByText ? step.match("text") : TextMatch{};
    if (!byId && kind.empty() && !text.present) return current_;

    std::vector<HWND> found;
    for (HWND control : descendants(current_)) {
        if (byId && !hasControlId(control, id)) continue;
        if (!kind.empty() && windowClass(control) != kind) continue;
        if (text.present && !text.matches(windowText(control))) continue;
        if (!includeHidden && !IsWindowVisible(control)) continue;
        found.push_back(control);
    }
    // With hidden controls counted, one visible control among several
    // hidden ones with the same id is still the one meant.
    if (found.size() > 1 && includeHidden) {
        std::vector<HWND> visible;
        for (HWND control : found) {
            if (IsWindowVisible(control)) visible.push_back(control);
        }
        if (visible.size() == 1) found = visible;
    }
    std::string selector = (byId ? "id=" + std::to_string(id) : std::string()) +
                           (kind.empty() ? "" : " class=" + narrow(kind)) +
                           (text.present ? " " + text.describe("text") : "");
    if (found.empty()) {
        error = "no " + std::string(includeHidden ? "" : "visible ") + "control " + selector +
                " in " + describeWindow(current_);
        return nullptr;
    }
    if (found.size() > 1) {
        error = std::to_string(found.size()) + " controls match " + selector +
                " (add class= to choose):";
        for (HWND control : found) error += " [" + describeControl(control) + "]";
        return nullptr;
    }
    return found[0];
}

bool Driver::read(const Step& step) {
    std::string error;
    HWND control = findControl(step, false, false, error);
    if (!control) return fail(error);
    result_ = quoted(windowText(control));
    return true;
}

bool Driver::expectText(const Step& step) {
    TextMatch expected = step.match("text");
    std::string error;
    std::wstring seen;
    bool ok = waitFor(step.seconds("timeout", kDefaultControlTimeout), [&] {
        HWND control = findControl(step, false, false, error);
        if (!control) return false;
        error.clear();
        seen = windowText(control);
        return expected.matches(seen);
    });
    if (ok) {
        result_ = quoted(seen);
        return true;
    }
    if (!failure_.empty()) return false;
    if (!error.empty()) return fail(error);
    return fail("the text is " + quoted(seen) + ", expected " + expected.describe("text"));
}

bool Driver::expectState(const Step& step) {
    std::string error, actual;
    bool ok = waitFor(step.seconds("timeout", kDefaultControlTimeout), [&] {
        HWND control = findControl(step, false, true, error);
        if (!control) return false;
        error.clear();
        int enabled = IsWindowEnabled(control) ? 1 : 0;
        int visible = IsWindowVisible(control) ? 1 : 0;
        int checked = checkState(control);
        actual = describeControl(control) + " enabled=" + std::to_string(enabled) +
                 " visible=" + std::to_string(visible) + " checked=" + std::to_string(checked);
        return step.number("enabled", enabled) == enabled &&
               step.number("visible", visible) == visible &&
               step.number("checked", checked) == checked;
    });
    if (ok) {
        result_ = actual;
        return true;
    }
    if (!failure_.empty()) return false;
    if (!error.empty()) return fail(error);
    return fail("the state is " + actual);
}

bool Driver::rect(const Step& step) {
    std::string error;
    HWND control = findControl(step, false, false, error);
    if (!control) return fail(error);
    RECT place = placement(control);
    RECT client = {};
    GetClientRect(control, &client);
    long actual[4] = {place.left, place.top, place.right - place.left, place.bottom - place.top};
    char text[160];
    std::snprintf(text, sizeof text, "x=%ld y=%ld w=%ld h=%ld (client %ldx%ld)", actual[0],
                  actual[1], actual[2], actual[3], client.right, client.bottom);
    result_ = text;
    const char* keys[4] = {"x", "y", "w", "h"};
    for (int i = 0; i < 4; ++i) {
        if (step.has(keys[i]) && step.number(keys[i], 0) != actual[i]) {
            return fail(describeControl(control) + " is at " + text + ", expected " + keys[i] +
                        "=" + step.text(keys[i]));
        }
    }
    return true;
}

bool Driver::click(const Step& step) {
    std::string error;
    HWND button = nullptr;
    bool ok = waitFor(step.seconds("timeout", kDefaultControlTimeout), [&] {
        button = findControl(step, true, false, error);
        if (!button) return false;
        if (IsWindowEnabled(button)) return true;
        error = describeControl(button) + " stayed disabled";
        return false;
    });
    if (!ok) return failure_.empty() ? fail(error) : false;
    result_ = describeControl(button);
    if (step.number("mouse", 0) != 0) return clickWithMouse(button);
    // Posted, not sent: the click may open a modal box, and the driver must
    // be free to answer it.
    PostMessageW(button, BM_CLICK, 0, 0);
    // A button of a message box clicked by id answers the box like
    // answer-box does.
    boxes_.answered(GetParent(button), static_cast<int>(controlId(button)));
    return true;
}

bool Driver::clickWithMouse(HWND control) {
    // The part of the control a user can see: inside each of its ancestors'
    // client areas and the screen.
    RECT visible = {};
    GetWindowRect(control, &visible);
    for (HWND parent = GetParent(control); parent; parent = GetParent(parent)) {
        RECT client = {};
        GetClientRect(parent, &client);
        MapWindowPoints(parent, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        IntersectRect(&visible, &visible, &client);
        if (!(GetWindowLongW(parent, GWL_STYLE) & WS_CHILD)) break;
    }
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&visible, &visible, &screen);
    if (IsRectEmpty(&visible))
        return fail(describeControl(control) +
                    " cannot be seen: no part of it lies inside its "
                    "page, its window and the screen");
    const POINT middle = {(visible.left + visible.right) / 2, (visible.top + visible.bottom) / 2};
    HWND under = WindowFromPoint(middle);
    if (under != control && !IsChild(control, under))
        return fail("at " + std::to_string(middle.x) + "," + std::to_string(middle.y) + " over " +
                    describeControl(control) + " lies " + describeControl(under));
    // Onto the control first, then a press and a release. Wine learns
    // which window lies under a placed pointer only when the program's
    // thread has read what its X display reports, so each placing waits
    // for the program, and the pointer is placed again until it stays
    // where it was put for a while.
    auto settle = [control] {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(control, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ignored);
        Sleep(kMousePauseMs);
    };
    // A button takes the focus when it is pressed: a press that went to
    // another window (the pointer taken back before the program read it)
    // leaves the focus elsewhere, and the click is made again, as a user
    // whose click did nothing clicks again.
    auto focused = [control] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(control, nullptr), &info) &&
               info.hwndFocus == control;
    };
    POINT cursor = {};
    for (int attempt = 0; attempt < kMouseAttempts; ++attempt) {
        int stayed = 0;
        for (int tries = 0; tries < 40 && stayed < kMouseStillChecks; ++tries) {
            if (stayed == 0) SetCursorPos(middle.x, middle.y);
            settle();
            const bool there =
                GetCursorPos(&cursor) && cursor.x == middle.x && cursor.y == middle.y;
            stayed = there ? stayed + 1 : 0;
        }
        if (stayed < kMouseStillChecks)
            return fail("the mouse does not stay at " + std::to_string(middle.x) + "," +
                        std::to_string(middle.y) + " (it is at " + std::to_string(cursor.x) + "," +
                        std::to_string(cursor.y) + ")");
        // The press and the release go in one call, so that both carry this
        // place even if Wine takes its pointer back to where its X display's
        // pointer is before the program has read them.
        INPUT presses[2] = {};
        presses[0].type = presses[1].type = INPUT_MOUSE;
        presses[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        presses[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        if (SendInput(2, presses, sizeof(INPUT)) != 2)
            return fail("the mouse click could not be sent (error " +
                        std::to_string(GetLastError()) + ")");
        settle();
        if (focused()) break;
        if (attempt + 1 == kMouseAttempts)
            return fail("the mouse clicked at " + std::to_string(middle.x) + "," +
                        std::to_string(middle.y) + " " + std::to_string(kMouseAttempts) +
                        " times and " + describeControl(control) + " never took the focus");
        result_ += " (clicked again)";
    }
    result_ += " with the mouse at " + std::to_string(middle.x) + "," + std::to_string(middle.y);
    return true;
}

bool Driver::setText(const Step& step) {
    std::string error;
    HWND control = findControl(step, false, false, error);
    if (!control) return fail(error);
    std::wstring text = widen(step.text("text"));
    DWORD_PTR done = 0;
    if (!SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &done) ||
        !done) {
        return fail("the text of " + describeControl(control) + " could not be set");
    }
    result_ = describeControl(control);
    return true;
}

bool Driver::key(const Step& step) {
    UINT key = 0;
    for (const KeyName& entry : kKeys) {
        if (step.text("name") == entry.name) key = entry.key;
    }
    if (key == 0) return fail("unknown key \"" + step.text("name") + "\" (enter, esc, tab, ...)");
    std::string error;
    HWND target = nullptr;
    if (step.has("id") || step.has("class")) {
        target = findControl(step, false, false, error);
        if (!target) return fail(error);
    } else {
        // A key goes to the window that has the focus in the program.
        if (!currentWindow(error)) return fail(error);
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        DWORD thread = GetWindowThreadProcessId(current_, nullptr);
        target = GetGUIThreadInfo(thread, &info) && info.hwndFocus ? info.hwndFocus : current_;
    }
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, key, 1 | scan);
    PostMessageW(target, WM_KEYUP, key, 1 | scan | static_cast<LPARAM>(0xC0000000u));
    result_ = "to " + describeControl(target);
    return true;
}

}  // namespace kestrova::e2e
