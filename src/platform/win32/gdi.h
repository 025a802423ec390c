#pragma once
// Owners for GDI objects and drawing contexts, one kind each, so that no
// handle is released by hand: a font, pen, brush or palette is deleted once,
// an object selected into a context is deselected before either goes, and a
// window's context is released (or its paint ended) on every way out.
#include <windows.h>

namespace kestrova::win32 {

// A GDI object (HFONT, HPEN, HBRUSH, HPALETTE, HBITMAP) deleted with its
// owner. Null means none.
template <typename T>
class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(T object) : object_(object) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { reset(); }

    T get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // Deletes the object held and takes the new one.
    void reset(T object = nullptr) {
        if (object_) DeleteObject(object_);
        object_ = object;
    }

  private:
    T object_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;

// Selects an object into a context for one scope and puts the previous one
// back at its end. A null object selects nothing.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A drawing context for a whole window (GetDC), released with its owner.
class WindowDc {
  public:
    WindowDc() = default;
    explicit WindowDc(HWND window) : window_(window), dc_(window ? GetDC(window) : nullptr) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() { release(); }

    HDC get() const { return dc_; }
    // Takes the context of another window, releasing the one held.
    void take(HWND window) {
        release();
        window_ = window;
        dc_ = window ? GetDC(window) : nullptr;
    }
    void release() {
        if (dc_) ReleaseDC(window_, dc_);
        dc_ = nullptr;
    }

  private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

// BeginPaint and EndPaint around one paint request.
class PaintDc {
  public:
    explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { EndPaint(window_, &paint_); }

    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
    PAINTSTRUCT paint_;
};

// A font like the window's dialog font (same face and size) in the given
// weight; null when the window has no font or the copy cannot be made.
HFONT makeFontLike(HWND window, LONG weight);

}  // namespace kestrova::win32
