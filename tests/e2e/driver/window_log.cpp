#include "window_log.h"

#include <cstdio>

#include "output.h"
#include "window_query.h"

namespace kestrova::e2e {
namespace {

std::string seconds(unsigned long long ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2fs", static_cast<double>(ms) / 1000.0);
    return text;
}

}  // namespace

std::vector<HWND> WindowLog::note(DWORD processId, unsigned long long elapsedMs) {
    std::vector<HWND> visible = topWindows(processId);
    std::vector<HWND> added;
    bool changed = false;
    for (Entry& entry : entries_) {
        if (entry.gone) continue;
        bool still = false;
        for (HWND window : visible) still = still || window == entry.window;
        if (!still) {
            entry.gone = true;
            entry.goneMs = elapsedMs;
            changed = true;
        } else if (entry.title.empty()) {
            // A window seen while it was being made (a message box) gets
            // its title a moment later.
            std::wstring title = storedText(entry.window);
            size_t at = entry.description.find("\ttitle=\"\"\t");
            if (!title.empty() && at != std::string::npos) {
                entry.title = title;
                entry.description.replace(at, 10, "\ttitle=" + quoted(title) + "\t");
                changed = true;
            }
        }
    }
    for (HWND window : visible) {
        // A handle that shows again after it went away is a window shown
        // anew (Wine does not reuse handles soon): a new line.
        bool known = false;
        for (const Entry& entry : entries_)
            known = known || (entry.window == window && !entry.gone);
        if (known) continue;
        RECT place = placement(window);
        char where[96];
        std::snprintf(where, sizeof where, "rect=%ld,%ld %ldx%ld", place.left, place.top,
                      place.right - place.left, place.bottom - place.top);
        // The texts are read now: a window that lives for a moment (the
        // extraction dialog) may be gone before a step could read them. They
        // are read without messages, which a program busy unpacking would
        // answer only when the window is gone.
        std::string texts;
        for (HWND control : descendants(window)) {
            std::wstring text = storedText(control);
            // An icon's static holds 0xFFFF and a resource number, no text.
            if (!IsWindowVisible(control) || text.empty() || text[0] == 0xFFFF) continue;
            texts += (texts.empty() ? "" : ",") + quoted(text);
        }
        std::wstring title = storedText(window);
        entries_.push_back(Entry{window, title,
                                 "class=" + narrow(windowClass(window)) +
                                     "\ttitle=" + quoted(title) + "\t" + where + "\ttexts=" + texts,
                                 elapsedMs, 0, false});
        added.push_back(window);
        changed = true;
    }
    if (changed) write();
    return added;
}

std::string WindowLog::titles() const {
    std::string list;
    for (const Entry& entry : entries_) list += (list.empty() ? "" : " ") + quoted(entry.title);
    return list.empty() ? "none" : list;
}

std::wstring WindowLog::title(HWND window) const {
    for (const Entry& entry : entries_) {
        if (entry.window == window) return entry.title;
    }
    return L"";
}

void WindowLog::write() const {
    if (path_.empty()) return;
    std::string content;
    for (const Entry& entry : entries_) {
        content += "seen=" + seconds(entry.seenMs) +
                   "\tgone=" + (entry.gone ? seconds(entry.goneMs) : std::string("-")) + "\t" +
                   entry.description + "\n";
    }
    // A log that cannot be written shows up as missing to the runner.
    std::string error;
    writeWholeFile(path_, content, error);
}

}  // namespace kestrova::e2e
