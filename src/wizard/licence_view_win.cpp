#include "wizard/licence_view_win.h"

#include <ole2.h>

#include <cstdlib>
#include <cstring>

#include "formats/licence_text.h"
#include "platform/win32/handle.h"
#include "platform/win32/wide.h"
#include "resources/texts.h"

namespace kestrova::win32 {
namespace {

// Of a longer file only this much is read; it bounds the memory a damaged
// or hostile file can take.
constexpr DWORD kMaxLicenceBytes = 1u << 20;

std::size_t decodeWithSystem(LicenceCharset charset, const char* bytes, std::size_t length,
                             char16_t* out, std::size_t capacity) {
    int units = MultiByteToWideChar(charset == LicenceCharset::Utf8 ? CP_UTF8 : kGbk, 0, bytes,
                                    static_cast<int>(length), reinterpret_cast<wchar_t*>(out),
                                    static_cast<int>(capacity));
    return units > 0 ? static_cast<std::size_t>(units) : 0;
}

// The first kMaxLicenceBytes of the file in a malloc'ed buffer (*cut when
// the file is longer); null when it cannot be opened or read.
char* readLicenceFile(const char* pathGbk, DWORD* size, bool* cut) {
    Wide path(pathGbk);
    if (!path.ok()) return nullptr;
    Handle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER fileSize;
    if (!file.isValid() || !GetFileSizeEx(file.get(), &fileSize)) return nullptr;
    *cut = fileSize.QuadPart > kMaxLicenceBytes;
    DWORD wanted = *cut ? kMaxLicenceBytes : static_cast<DWORD>(fileSize.QuadPart);
    char* bytes = static_cast<char*>(std::malloc(wanted ? wanted : 1));
    DWORD read = 0;
    if (!bytes || !ReadFile(file.get(), bytes, wanted, &read, nullptr)) {
        std::free(bytes);
        return nullptr;
    }
    *size = read;
    return bytes;
}

// Appends a GBK text to text[*length], within capacity units.
void appendGbk(char16_t* text, std::size_t* length, std::size_t capacity, const char* gbk) {
    if (*length >= capacity) return;
    int units = MultiByteToWideChar(kGbk, 0, gbk, static_cast<int>(std::strlen(gbk)),
                                    reinterpret_cast<wchar_t*>(text + *length),
                                    static_cast<int>(capacity - *length));
    if (units > 0) *length += static_cast<std::size_t>(units);
}

// The browser reads a document that names no character set in the system's
// code page, where the setup reads it as GBK: on a system whose code page is
// not 936 such a licence would show garbled there, and shows as text
// instead. A file that cannot be read is left to the browser.
bool browserReadsAsSetupDoes(const char* pathGbk) {
    if (GetACP() == kGbk) return true;
    DWORD size = 0;
    bool cut = false;
    char* html = readLicenceFile(pathGbk, &size, &cut);
    if (!html) return true;
    bool declared = false;
    licenceCharset(html, size, &declared);
    std::free(html);
    return declared;
}

}  // namespace

bool LicenceView::show(HWND page, int controlId, const RECT& area, const char* licencePathGbk) {
    close();
    if (licencePathGbk && browserReadsAsSetupDoes(licencePathGbk) &&
        showBrowser(page, controlId, area, licencePathGbk))
        return true;
    close();
    return showText(page, controlId, area, licencePathGbk);
}

bool LicenceView::showBrowser(HWND page, int controlId, const RECT& area,
                              const char* licencePathGbk) {
    // In-place activation needs OLE on this thread; a thread already in the
    // multithreaded apartment cannot host the control.
    if (!ole_.start() || !BrowserControl::htmlEngineAvailable()) return false;
    // The control places its own windows inside this one, which carries the
    // control's id and place in the page.
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, area.left,
                              area.top, area.right - area.left, area.bottom - area.top, page,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                              reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(page, GWLP_HINSTANCE)),
                              nullptr);
    return window_ && browser_.create(window_) && browser_.navigate(licencePathGbk);
}

bool LicenceView::showText(HWND page, int controlId, const RECT& area, const char* licencePathGbk) {
    window_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE |
                                  ES_READONLY | ES_AUTOVSCROLL,
                              area.left, area.top, area.right - area.left, area.bottom - area.top,
                              page, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                              reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(page, GWLP_HINSTANCE)),
                              nullptr);
    if (!window_) return false;
    SendMessageW(window_, WM_SETFONT, SendMessageW(page, WM_GETFONT, 0, 0), FALSE);
    SendMessageW(window_, EM_SETLIMITTEXT, 0, 0);

    DWORD size = 0;
    bool cut = false;
    char* html = licencePathGbk ? readLicenceFile(licencePathGbk, &size, &cut) : nullptr;
    // Room for the document's text, its notes and the file's path. No
    // document needs more than eight units per byte (a deeply nested list
    // item), and kLicenceTextLimit bounds it all.
    std::size_t capacity = html ? std::size_t{size} * 8 + 256 : 0;
    if (capacity > kLicenceTextLimit) capacity = kLicenceTextLimit;
    std::size_t room = capacity + 128 + (licencePathGbk ? std::strlen(licencePathGbk) : 0);
    char16_t* text = static_cast<char16_t*>(std::malloc(room * sizeof(char16_t)));
    if (text) {
        std::size_t length = 0;
        if (html) {
            LicenceText converted = licenceToText(html, size, decodeWithSystem, text, capacity);
            length = converted.length;
            if (converted.truncated || cut) {
                if (length > 0) appendGbk(text, &length, room, "\r\n\r\n");
                appendGbk(text, &length, room, texts::kLicenceTruncated);
            }
        } else {
            // What a browser would show for a missing file: that it is missing.
            appendGbk(text, &length, room, texts::kLicenceUnreadable);
            appendGbk(text, &length, room, "\r\n");
            if (licencePathGbk) appendGbk(text, &length, room, licencePathGbk);
        }
        text[length < room ? length : room - 1] = u'\0';
        SetWindowTextW(window_, reinterpret_cast<const wchar_t*>(text));
    }
    std::free(text);
    std::free(html);
    return true;
}

void LicenceView::close() {
    browser_.close();
    if (window_) {
        if (IsWindow(window_)) DestroyWindow(window_);
        window_ = nullptr;
    }
    ole_.end();
}

}  // namespace kestrova::win32
