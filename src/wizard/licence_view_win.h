#pragma once
// LicenceView: the licence document inside the licence page. The system's
// browser control shows it where it can; where it cannot be created or has
// no HTML engine to show the document with (Wine without its Gecko engine,
// a system where the control is locked down), a read-only scrolling text
// control in the same place shows the document's text instead; so it does
// for a document that names no character set on a system whose code page
// is not GBK, where the browser would garble it. Either way
// the user can read the licence and accept or decline it. Non-copyable;
// lives as long as its page.
#include <windows.h>

#include <cstddef>

#include "platform/win32/browser_control.h"

namespace kestrova::win32 {

// The most UTF-16 units of licence text the text control is given; a longer
// text is cut there and followed by a note saying so. Far beyond any real
// licence, and small enough that the control lays it out in a moment
// (Wine's takes seconds for a few hundred thousand units).
constexpr std::size_t kLicenceTextLimit = 1u << 17;

class LicenceView {
  public:
    LicenceView() = default;
    LicenceView(const LicenceView&) = delete;
    LicenceView& operator=(const LicenceView&) = delete;
    ~LicenceView() { close(); }

    // Creates the view as control controlId of page, filling area (client
    // coordinates of page), and loads the document at licencePathGbk once.
    // The page must not hold a control with that id. False only when
    // neither the browser control nor the text control could be made.
    bool show(HWND page, int controlId, const RECT& area, const char* licencePathGbk);

    // Releases the browser control and its site and destroys the view's
    // window. For the page's WM_DESTROY, while the page still exists; safe
    // to call again, and when show was never called.
    void close();

    // The view's window (the browser's host or the text control), or null.
    HWND window() const { return window_; }
    bool showsBrowser() const { return browser_.active(); }

  private:
    bool showBrowser(HWND page, int controlId, const RECT& area, const char* licencePathGbk);
    bool showText(HWND page, int controlId, const RECT& area, const char* licencePathGbk);

    HWND window_ = nullptr;
    BrowserControl browser_;
    OleScope ole_;  // OLE for the browser control, while it is shown
};

}  // namespace kestrova::win32
