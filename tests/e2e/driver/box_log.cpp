#include "box_log.h"

#include "output.h"

namespace kestrova::e2e {

std::vector<MessageBoxInfo> BoxLog::note(DWORD processId) {
    std::vector<MessageBoxInfo> open;
    bool added = false;
    for (HWND window : topWindows(processId)) {
        MessageBoxInfo box;
        if (!readMessageBox(window, box)) continue;
        // An answered box stays listed while it closes; Wine does not reuse
        // a window handle soon, so the handle identifies a box.
        const Entry* known = nullptr;
        for (const Entry& entry : entries_) {
            if (entry.box.window == window) known = &entry;
        }
        if (!known) {
            entries_.push_back(Entry{box});
            added = true;
        }
        if (!known || known->answer == "-") open.push_back(box);
    }
    if (added) write();
    return open;
}

void BoxLog::answered(HWND box, int button) {
    bool changed = false;
    for (Entry& entry : entries_) {
        if (entry.box.window == box && entry.answer == "-") {
            entry.answer = buttonName(button);
            changed = true;
        }
    }
    if (changed) write();
}

std::string BoxLog::describe(const MessageBoxInfo& box) {
    std::string buttons;
    for (int id : box.buttons)
        buttons += (buttons.empty() ? "" : ",") + std::string(buttonName(id));
    return "title=" + quoted(box.title) + "\ttext=" + quoted(box.text) + "\tbuttons=" + buttons +
           "\towner=" + (box.owner ? quoted(box.ownerTitle) : std::string("none"));
}

void BoxLog::write() const {
    if (path_.empty()) return;
    std::string content;
    for (const Entry& entry : entries_) {
        content += "answer=" + entry.answer + "\t" + describe(entry.box) + "\n";
    }
    // A log that cannot be written shows up as missing to the runner.
    std::string error;
    writeWholeFile(path_, content, error);
}

}  // namespace kestrova::e2e
