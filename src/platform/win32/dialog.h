#pragma once
// Dialog: the one base of every dialog and page of the setup. Its static
// procedure stores the object at WM_INITDIALOG and hands each message to a
// handler; everything a handler does not take gets the dialog manager's
// default processing. The procedures of the dialogs stay thin: decisions
// live in pure functions beside them.
#include <windows.h>

namespace kestrova {

// All timers of the setup have the identifier 1.
constexpr UINT_PTR kDialogTimerId = 1;

class Dialog {
  public:
    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog() = default;

    HWND window() const { return window_; }
    HWND item(int id) const { return GetDlgItem(window_, id); }

    // Runs the dialog from its template as a modal dialog and returns what
    // EndDialog was given, or -1 when the dialog could not be made.
    INT_PTR runModal(HINSTANCE instance, int templateId, HWND owner);

    // Creates the dialog from its template as a modeless child of parent;
    // its init handler has run when this returns. False when it could not
    // be made.
    bool create(HINSTANCE instance, int templateId, HWND parent);

  protected:
    // Each handler returns true when it has handled the message; false asks
    // for the default processing.

    // After the window and its controls exist. Returns what WM_INITDIALOG
    // returns: TRUE lets the dialog manager choose the focus.
    virtual BOOL onInit() { return TRUE; }
    // A command from a control, a menu or an accelerator (IDOK is Enter,
    // IDCANCEL is Esc).
    virtual bool onCommand(int /*id*/, int /*code*/) { return false; }
    virtual bool onTimer(UINT_PTR /*id*/) { return false; }
    // A notification from a control; *result is the dialog's answer.
    virtual bool onNotify(const NMHDR& /*header*/, LRESULT* /*result*/) { return false; }
    virtual bool onPaint() { return false; }
    // WM_SHOWWINDOW, whatever its flag; default processing follows.
    virtual void onShowWindow(bool /*shown*/) {}
    // The close box, or WM_CLOSE sent by the program.
    virtual bool onClose() { return false; }
    // WM_DESTROY: the window and its children still exist.
    virtual void onDestroy() {}
    // Any other message; *result is what the procedure returns.
    virtual bool onMessage(UINT /*message*/, WPARAM, LPARAM, INT_PTR* /*result*/) { return false; }

  private:
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

}  // namespace kestrova
