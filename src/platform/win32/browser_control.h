#pragma once
// BrowserControl: the system's browser control embedded in a window of
// ours, in place and filling it, through a BrowserSite. The thread must
// have OLE started (OleInitialize). Non-copyable; close releases it.
#include <ole2.h>
#include <windows.h>

#include "platform/win32/browser_site.h"
#include "platform/win32/com_ptr.h"

namespace kestrova::win32 {

class BrowserControl {
  public:
    BrowserControl() = default;
    BrowserControl(const BrowserControl&) = delete;
    BrowserControl& operator=(const BrowserControl&) = delete;
    ~BrowserControl() { close(); }

    // Whether the HTML engine the control shows documents with can be
    // loaded. Without it (Wine without its Gecko engine) the control comes
    // up and shows nothing.
    static bool htmlEngineAvailable();

    // Creates the control and activates it in place inside host. False,
    // nothing held, when the control cannot be created or activated.
    bool create(HWND host);
    // Starts loading the document at a local path (GBK). False when the
    // path has no UTF-16 form or the control refuses it; the document
    // itself loads later, and the control shows its own page for a missing
    // file.
    bool navigate(const char* pathGbk);
    // Deactivates and releases the control, then the site. Safe to call
    // again.
    void close();

    bool active() const { return static_cast<bool>(object_); }

  private:
    ComPtr<IOleObject> object_;
    ComPtr<BrowserSite> site_;
};

}  // namespace kestrova::win32
