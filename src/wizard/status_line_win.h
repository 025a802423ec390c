#pragma once
// The progress page's status line, written by the install run's worker
// thread. SetDlgItemText from another thread sends the text and waits until
// the window's thread has taken it, a round trip per file. Instead the text
// waits in one slot and the window's thread is told by a posted message.
// A text shown stands for a moment (a timer of the window's thread), and
// texts that come meanwhile replace each other in the slot without a
// notice: the line follows the run at a few updates a second whatever the
// number of files, and the latest text is always shown.
#include <windows.h>

namespace kestrova::win32 {

// Sets control id of dialog to text: at once on the dialog's own thread,
// otherwise through the slot, without waiting.
void setStatusText(HWND dialog, int id, const wchar_t* text);

// For window procedures: true when message is the slot's notice, which it
// then handles by setting the waiting text.
bool applyPostedStatusText(HWND window, UINT message);

// Shows a text still waiting for a window of the calling thread at once:
// for a thread whose worker has ended, so that its last text is on the
// line before the thread goes on.
void showWaitingStatusText();

}  // namespace kestrova::win32
