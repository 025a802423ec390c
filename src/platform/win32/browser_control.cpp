#include "platform/win32/browser_control.h"

#include <exdisp.h>
#include <ole2.h>

#include "platform/win32/browser_site.h"
#include "platform/win32/wide.h"

namespace kestrova::win32 {
namespace {

// The browser control and the HTML document object it shows HTML with.
// Written out here: the SDK's mshtml.h is large and libuuid lacks the
// second one.
constexpr CLSID kWebBrowser = {
    0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
constexpr CLSID kHtmlDocument = {
    0x25336920, 0x03F9, 0x11CF, {0x8F, 0xD0, 0x00, 0xAA, 0x00, 0x68, 0x6F, 0x13}};

}  // namespace

bool BrowserControl::htmlEngineAvailable() {
    // An instance, not only the class: Wine's HTML document loads its
    // engine when one is made, and fails there when the engine is missing.
    IUnknown* document = nullptr;
    if (FAILED(CoCreateInstance(kHtmlDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                reinterpret_cast<void**>(&document))) ||
        !document)
        return false;
    document->Release();
    return true;
}

bool BrowserControl::create(HWND host) {
    close();
    if (FAILED(CoCreateInstance(kWebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(&object_))) ||
        !object_) {
        object_ = nullptr;
        return false;
    }
    site_ = new BrowserSite(host);
    RECT bounds;
    GetClientRect(host, &bounds);
    if (FAILED(object_->SetClientSite(site_)) ||
        FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_, 0, host, &bounds))) {
        close();
        return false;
    }
    return true;
}

bool BrowserControl::navigate(const char* pathGbk) {
    Wide address(pathGbk);
    IWebBrowser2* web = nullptr;
    if (!object_ || !address.ok() ||
        FAILED(object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&web))) || !web)
        return false;
    BSTR url = SysAllocString(address);
    // Flags, target frame, post data and headers: all left out.
    VARIANT empty;
    VariantInit(&empty);
    HRESULT result = url ? web->Navigate(url, &empty, &empty, &empty, &empty) : E_OUTOFMEMORY;
    SysFreeString(url);
    web->Release();
    return SUCCEEDED(result);
}

void BrowserControl::close() {
    if (object_) {
        // Deactivated first, so the control drops its windows and its
        // references to the site before the site goes.
        IOleInPlaceObject* inPlace = nullptr;
        if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject,
                                              reinterpret_cast<void**>(&inPlace))) &&
            inPlace) {
            inPlace->InPlaceDeactivate();
            inPlace->Release();
        }
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_->Release();
        object_ = nullptr;
    }
    if (site_) {
        site_->Release();
        site_ = nullptr;
    }
}

}  // namespace kestrova::win32
