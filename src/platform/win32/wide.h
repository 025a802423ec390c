#pragma once
// GBK <-> UTF-16 at the platform boundary. Always code page 936, never the
// ANSI code page, so the setup behaves the same on a system of any locale.
#include <windows.h>

#include <cstddef>

namespace kestrova::win32 {

constexpr UINT kGbk = 936;

// A GBK text widened for a W call. Short texts stay on the stack; long ones
// use the heap. An input without a valid conversion gives an empty text
// (ok() false).
class Wide {
public:
    explicit Wide(const char* gbk);
    Wide(const Wide&) = delete;
    Wide& operator=(const Wide&) = delete;
    ~Wide();
    const wchar_t* get() const { return text_; }
    operator const wchar_t*() const { return text_; }
    bool ok() const { return ok_; }

private:
    wchar_t local_[300];
    wchar_t* text_ = local_;
    bool ok_ = false;
};

// Converts a UTF-16 text (length -1: NUL-terminated) to GBK into buffer.
// False, buffer empty, when it does not fit.
bool toGbk(const wchar_t* wide, int length, char* buffer, std::size_t capacity);

}  // namespace kestrova::win32
