#include "startup/startup_win.h"

#include <commctrl.h>

#include "layout/window_layout.h"
#include "package/lzss_decoder.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/window_metrics.h"
#include "resources/resource_ids.h"
#include "startup/extract_package.h"
#include "startup/silent_install_win.h"
#include "startup/splash_dialog_win.h"
#include "startup/timed_dialog_win.h"
#include "state/setup_state.h"
#include "wizard/message_box_port.h"
#include "wizard/wizard_dialog_win.h"

namespace kestrova {
namespace {

// A setup.exe is usually started from a downloads folder, where anyone may
// have left a DLL: restrict the loader to the system folder before any DLL
// is loaded at run time. SetDefaultDllDirectories exists from Windows 8
// (and on 7 with KB2533623), so it is looked up rather than imported.
void restrictDllSearch() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    auto setDirectories = reinterpret_cast<SetDirectories>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L"");  // no current folder in the search on older systems
}

// Windows Sockets 1.1 is started and stopped and nothing more; wsock32 is
// loaded from the system folder only after the search is restricted, so it
// is not a static import (it is no KnownDLL).
class Sockets {
  public:
    bool start() {
        library_ = LoadLibraryExW(L"wsock32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!library_) library_ = LoadLibraryW(L"wsock32.dll");
        if (!library_) return false;
        using Startup = int(WINAPI*)(WORD, void*);
        auto startup = reinterpret_cast<Startup>(
            reinterpret_cast<void*>(GetProcAddress(library_, "WSAStartup")));
        cleanup_ = reinterpret_cast<Cleanup>(
            reinterpret_cast<void*>(GetProcAddress(library_, "WSACleanup")));
        if (!startup || !cleanup_) return false;
        // WSADATA is 400 bytes on 32-bit Windows; its first WORD is the
        // version in use.
        alignas(8) unsigned char data[512] = {};
        if (startup(MAKEWORD(1, 1), data) != 0) return false;
        started_ = true;
        WORD version = static_cast<WORD>(data[0] | (data[1] << 8));
        return version == MAKEWORD(1, 1);
    }
    ~Sockets() {
        if (started_) cleanup_();
        if (library_) FreeLibrary(library_);
    }

  private:
    using Cleanup = int(WINAPI*)();
    HMODULE library_ = nullptr;
    Cleanup cleanup_ = nullptr;
    bool started_ = false;
};

constexpr UINT kExtractionDelayMs = 300;

// The extraction dialog: shows its template while the package is unpacked
// on its first timer tick; Enter, Esc and the close box do nothing until
// the work is done.
class ExtractionDialog : public TimedDialog {
  public:
    ExtractionDialog(Platform& platform, SetupState& state)
        : platform_(platform),
          state_(state),
          port_(platform, nullptr),
          decoder_(platform, state, port_) {}
    bool packageRead() const { return packageRead_; }

  protected:
    BOOL onInit() override {
        placeControls();
        port_.setOwner(window());
        SetTimer(window(), kDialogTimerId, kExtractionDelayMs, nullptr);
        return TRUE;
    }
    bool onTimer(UINT_PTR id) override {
        if (id != kDialogTimerId) return false;
        KillTimer(window(), kDialogTimerId);
        packageRead_ = extractPackage(platform_, port_, state_, decoder_);
        finish();
        return true;
    }

  private:
    // The icon and the two lines in pixels of the size set, each line as
    // wide as its text; the window fitted around them, in the screen's middle.
    void placeControls() {
        const SizeSet sizes = sizeSetFor(win32::screenDpi());
        const int widest = win32::ownTextWidth(item(IDC_EXTRACTION_TEXT));
        const int title = win32::ownTextWidth(item(IDC_EXTRACTION_TITLE));
        const StatusLayout layout =
            statusLayout(sizes, FontMeasure{win32::lineHeightOf(window()), win32::checkMarkSize()},
                         GetSystemMetrics(SM_CXICON), widest > title ? widest : title, false);
        const int ids[] = {IDC_EXTRACTION_ICON, IDC_EXTRACTION_TITLE, IDC_EXTRACTION_TEXT};
        const Box boxes[] = {layout.icon, layout.lines[0], layout.lines[1]};
        for (int i = 0; i < 3; ++i)
            MoveWindow(item(ids[i]), boxes[i].left, boxes[i].top, boxes[i].width, boxes[i].height,
                       FALSE);
        win32::sizeAndCentre(window(), layout.clientWidth, layout.clientHeight);
    }

    Platform& platform_;
    SetupState& state_;
    MessageBoxPort port_;  // the start-up's errors, owned by this dialog
    LzssDecoder decoder_;
    bool packageRead_ = false;
};

void showSocketsError(HINSTANCE instance) {
    wchar_t text[256];
    if (LoadStringW(instance, IDS_SOCKETS_ERROR, text, 256) <= 0) text[0] = L'\0';
    MessageBoxW(nullptr, text, nullptr, MB_OK);
}

}  // namespace

int runSetup(HINSTANCE instance) {
    restrictDllSearch();
    int silentExit = 0;
    if (runSilentIfAsked(&silentExit)) return silentExit;  // "/S": no window at all
    Sockets sockets;
    if (!sockets.start()) {
        showSocketsError(instance);
        return 0;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS |
                                                       ICC_TREEVIEW_CLASSES | ICC_USEREX_CLASSES};
    InitCommonControlsEx(&controls);

    // One state and one platform for the whole process: they live in this
    // frame, which outlasts every dialog and the install run.
    SetupState state;
    win32::Win32Platform platform;
    TempFiles tempFiles(platform, state);

    {
        ExtractionDialog extraction(platform, state);
        extraction.runModal(instance, IDD_EXTRACTION, nullptr);
        if (!extraction.packageRead()) return 0;  // the error was shown; nothing is left behind
    }

    if (state.hasSoftPicture) runSplash(instance, platform, state);

    // The wizard deletes the temporary files when it is destroyed.
    WizardDialog wizard(instance, platform, state, tempFiles);
    wizard.run();
    return 0;
}

}  // namespace kestrova
