#include "window_query.h"

namespace kestrova::e2e {
namespace {

constexpr UINT kMessageTimeoutMs = 2000;
constexpr long kMessageBoxTextId = 0xFFFF;

struct ButtonNameEntry {
    int id;
    const char* name;
};
constexpr ButtonNameEntry kButtonNames[] = {
    {IDOK, "ok"},       {IDCANCEL, "cancel"},     {IDABORT, "abort"},
    {IDRETRY, "retry"}, {IDIGNORE, "ignore"},     {IDYES, "yes"},
    {IDNO, "no"},       {IDTRYAGAIN, "tryagain"}, {IDCONTINUE, "continue"},
};

BOOL CALLBACK collectTop(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<std::pair<DWORD, std::vector<HWND>*>*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (IsWindowVisible(window) && (found->first == 0 || found->first == processId)) {
        found->second->push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK collectChild(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> topWindows(DWORD processId) {
    std::vector<HWND> windows;
    std::pair<DWORD, std::vector<HWND>*> found{processId, &windows};
    EnumWindows(collectTop, reinterpret_cast<LPARAM>(&found));
    return windows;
}

std::vector<HWND> descendants(HWND window) {
    std::vector<HWND> windows;
    EnumChildWindows(window, collectChild, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

long controlId(HWND control) {
    return GetDlgCtrlID(control) & 0xFFFF;
}

bool hasControlId(HWND control, long id) {
    return controlId(control) == (id & 0xFFFF);
}

std::wstring windowText(HWND window) {
    // WM_GETTEXT rather than GetWindowText: for a control of another process
    // only the message returns what the control shows (an edit's content).
    std::wstring text(4096, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied)) {
        copied =
            static_cast<DWORD_PTR>(GetWindowTextW(window, &text[0], static_cast<int>(text.size())));
    }
    text.resize(copied < text.size() ? copied : 0);
    return text;
}

std::wstring storedText(HWND window) {
    wchar_t text[1024] = {};
    InternalGetWindowText(window, text, 1024);
    return text;
}

std::wstring windowClass(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

RECT placement(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    HWND parent = (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
    if (parent) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool WindowQuery::matches(HWND window) const {
    if (processId != 0) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != processId) return false;
    }
    if (!className.empty() && windowClass(window) != className) return false;
    if (title.present && !title.matches(windowText(window))) return false;
    bool found = !withControlId && !controlText.present;
    for (HWND control : descendants(window)) {
        if (found) break;
        if (!IsWindowVisible(control)) continue;
        if (withControlId && !hasControlId(control, controlId)) continue;
        if (controlText.present && !controlText.matches(windowText(control))) continue;
        found = true;
    }
    // A window destroyed while it was looked at reads as an empty title:
    // it must not pass for a window without one.
    return found && IsWindow(window) && IsWindowVisible(window);
}

std::string WindowQuery::describe() const {
    std::string out;
    auto add = [&out](const std::string& part) { out += (out.empty() ? "" : " ") + part; };
    if (!className.empty()) add("class=" + narrow(className));
    if (title.present) add(title.describe("title"));
    if (withControlId) add("id=" + std::to_string(controlId));
    if (controlText.present) add(controlText.describe("text"));
    return out.empty() ? "any window" : out;
}

bool readMessageBox(HWND window, MessageBoxInfo& box) {
    if (!IsWindowVisible(window) || windowClass(window) != L"#32770") return false;
    box = MessageBoxInfo{};
    box.window = window;
    bool hasText = false;
    for (HWND control : descendants(window)) {
        if (!IsWindowVisible(control)) continue;
        std::wstring kind = windowClass(control);
        long id = controlId(control);
        if (kind == L"Button") {
            if (id < IDOK || id > IDCONTINUE) return false;
            box.buttons.push_back(static_cast<int>(id));
        } else if (kind == L"Static") {
            if (hasControlId(control, kMessageBoxTextId)) {
                box.text = windowText(control);
                hasText = true;
            }
        } else {
            return false;
        }
    }
    if (!hasText || box.buttons.empty()) return false;
    box.title = windowText(window);
    box.owner = GetWindow(window, GW_OWNER);
    if (box.owner) box.ownerTitle = storedText(box.owner);
    return true;
}

const char* buttonName(int id) {
    for (const ButtonNameEntry& entry : kButtonNames) {
        if (entry.id == id) return entry.name;
    }
    return "?";
}

int buttonId(const std::string& name) {
    for (const ButtonNameEntry& entry : kButtonNames) {
        if (name == entry.name) return entry.id;
    }
    return 0;
}

}  // namespace kestrova::e2e
