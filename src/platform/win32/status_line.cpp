#include "platform/win32/status_line.h"

namespace kestrova::win32 {
namespace {

constexpr UINT kStatusTextMessage = WM_APP + 0x4B53;
// A status text is at most a path (500 bytes) inside a fixed sentence.
constexpr int kSlotSize = 640;

struct Slot {
    SRWLOCK lock = SRWLOCK_INIT;
    HWND dialog = nullptr;
    int id = 0;
    bool posted = false;
    wchar_t text[kSlotSize] = {};
};

Slot slot;

}  // namespace

void setStatusText(HWND dialog, int id, const wchar_t* text) {
    if (GetWindowThreadProcessId(dialog, nullptr) == GetCurrentThreadId()) {
        SetDlgItemTextW(dialog, id, text);
        return;
    }
    AcquireSRWLockExclusive(&slot.lock);
    lstrcpynW(slot.text, text, kSlotSize);
    slot.dialog = dialog;
    slot.id = id;
    bool post = !slot.posted;
    slot.posted = true;
    ReleaseSRWLockExclusive(&slot.lock);
    // One notice at a time: later texts replace the waiting one. A window
    // that is gone takes no notice; the next text tries again.
    if (post && !PostMessageW(dialog, kStatusTextMessage, 0, 0)) {
        AcquireSRWLockExclusive(&slot.lock);
        slot.posted = false;
        ReleaseSRWLockExclusive(&slot.lock);
    }
}

bool applyPostedStatusText(HWND window, UINT message) {
    if (message != kStatusTextMessage) return false;
    wchar_t text[kSlotSize];
    AcquireSRWLockExclusive(&slot.lock);
    HWND dialog = slot.dialog;
    int id = slot.id;
    lstrcpynW(text, slot.text, kSlotSize);
    slot.posted = false;
    ReleaseSRWLockExclusive(&slot.lock);
    if (dialog == window) SetDlgItemTextW(dialog, id, text);
    return true;
}

}  // namespace kestrova::win32
