#include "wizard/status_line_win.h"

namespace kestrova::win32 {
namespace {

constexpr UINT kStatusTextMessage = WM_APP + 0x4B53;
constexpr UINT_PTR kStandTimer = 0x4B53;
// How long a shown text stands before a newer one replaces it: short
// enough that the line follows the run, long enough that a run of small
// files costs the window's thread a few updates a second, not one a file.
constexpr UINT kStandMilliseconds = 50;
// A status text is at most a path (500 bytes) inside a fixed sentence.
constexpr int kSlotSize = 640;

struct Slot {
    SRWLOCK lock = SRWLOCK_INIT;
    HWND dialog = nullptr;
    int id = 0;
    // A notice or the stand timer is under way: a new text only replaces
    // the waiting one, which that shows.
    bool posted = false;
    // The text has not been shown yet.
    bool fresh = false;
    wchar_t text[kSlotSize] = {};
};

Slot slot;

// Shows the waiting text when it is for window. False when there was none.
bool showWaiting(HWND window) {
    wchar_t text[kSlotSize];
    AcquireSRWLockExclusive(&slot.lock);
    bool show = slot.fresh && slot.dialog == window;
    int id = slot.id;
    if (show) {
        lstrcpynW(text, slot.text, kSlotSize);
        slot.fresh = false;
    }
    ReleaseSRWLockExclusive(&slot.lock);
    if (show) SetDlgItemTextW(window, id, text);
    return show;
}

// The stand timer: a text that came meanwhile is shown and stands in turn;
// otherwise the line is idle and the next text posts a notice again.
void CALLBACK standTimer(HWND window, UINT, UINT_PTR timer, DWORD) {
    if (showWaiting(window)) return;
    AcquireSRWLockExclusive(&slot.lock);
    bool idle = !slot.fresh || slot.dialog != window;
    if (idle && slot.dialog == window) slot.posted = false;
    ReleaseSRWLockExclusive(&slot.lock);
    if (idle) KillTimer(window, timer);
}

}  // namespace

void setStatusText(HWND dialog, int id, const wchar_t* text) {
    if (GetWindowThreadProcessId(dialog, nullptr) == GetCurrentThreadId()) {
        SetDlgItemTextW(dialog, id, text);
        return;
    }
    AcquireSRWLockExclusive(&slot.lock);
    lstrcpynW(slot.text, text, kSlotSize);
    // Another window than the last one has no notice or timer under way.
    bool post = !slot.posted || slot.dialog != dialog;
    slot.dialog = dialog;
    slot.id = id;
    slot.fresh = true;
    slot.posted = true;
    ReleaseSRWLockExclusive(&slot.lock);
    // A window that is gone takes no notice; the next text tries again.
    if (post && !PostMessageW(dialog, kStatusTextMessage, 0, 0)) {
        AcquireSRWLockExclusive(&slot.lock);
        slot.posted = false;
        ReleaseSRWLockExclusive(&slot.lock);
    }
}

bool applyPostedStatusText(HWND window, UINT message) {
    if (message != kStatusTextMessage) return false;
    showWaiting(window);
    // Texts that come while this one stands wait in the slot instead of
    // each posting a notice; the timer shows them, or finds the line idle.
    // Without a timer, every text posts again.
    if (!SetTimer(window, kStandTimer, kStandMilliseconds, standTimer)) {
        AcquireSRWLockExclusive(&slot.lock);
        if (slot.dialog == window) slot.posted = false;
        ReleaseSRWLockExclusive(&slot.lock);
        showWaiting(window);
    }
    return true;
}

void showWaitingStatusText() {
    AcquireSRWLockExclusive(&slot.lock);
    HWND dialog = slot.fresh ? slot.dialog : nullptr;
    ReleaseSRWLockExclusive(&slot.lock);
    if (dialog && GetWindowThreadProcessId(dialog, nullptr) == GetCurrentThreadId())
        showWaiting(dialog);
}

}  // namespace kestrova::win32
