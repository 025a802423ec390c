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
    ComPtr<IUnknown> document;
    return SUCCEEDED(CoCreateInstance(kHtmlDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                      document.outVoid())) &&
           document;
}

bool BrowserControl::create(HWND host) {
    close();
    if (FAILED(CoCreateInstance(kWebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                object_.outVoid())) ||
        !object_) {
        object_.release();
        return false;
    }
    site_.attach(new BrowserSite(host));
    RECT bounds;
    GetClientRect(host, &bounds);
    if (FAILED(object_->SetClientSite(site_.get())) ||
        FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, host, &bounds))) {
        close();
        return false;
    }
    return true;
}

bool BrowserControl::navigate(const char* pathGbk) {
    Wide address(pathGbk);
    ComPtr<IWebBrowser2> web;
    if (!address.ok() || !object_.query(IID_IWebBrowser2, &web)) return false;
    BSTR url = SysAllocString(address);
    // Flags, target frame, post data and headers: all left out.
    VARIANT empty;
    VariantInit(&empty);
    HRESULT result = url ? web->Navigate(url, &empty, &empty, &empty, &empty) : E_OUTOFMEMORY;
    SysFreeString(url);
    return SUCCEEDED(result);
}

void BrowserControl::close() {
    if (object_) {
        // Deactivated first, so the control drops its windows and its
        // references to the site before the site goes.
        ComPtr<IOleInPlaceObject> inPlace;
        if (object_.query(IID_IOleInPlaceObject, &inPlace)) inPlace->InPlaceDeactivate();
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_.release();
    }
    site_.release();
}

}  // namespace kestrova::win32
