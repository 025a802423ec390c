#pragma once
// GBK <-> UTF-16 at the platform boundary. Always code page 936, never the
// ANSI code page, so the setup behaves the same on a system of any locale.
#include <windows.h>

#include <cstddef>

namespace kestrova::win32 {

constexpr UINT kGbk = 936;

// How a GBK text that is not valid GBK is widened. Paths, registry names and
// command lines are Strict: a damaged name must not silently become another
// name. Texts only shown to the user are Lenient: the system replaces what
// it cannot read and the rest is still shown.
enum class Conversion { Strict, Lenient };

// A GBK text widened for a W call, always NUL-terminated. Short texts stay on
// the stack; long ones use the heap. A null input, an input without a valid
// conversion (Strict) or a failed allocation gives an empty text, ok() false.
class Wide {
  public:
    explicit Wide(const char* gbk, Conversion conversion = Conversion::Strict);
    // Exactly length bytes of gbk (NUL bytes inside are kept).
    Wide(const char* gbk, std::size_t length, Conversion conversion = Conversion::Strict);
    Wide(const Wide&) = delete;
    Wide& operator=(const Wide&) = delete;
    ~Wide();

    const wchar_t* get() const { return text_; }
    operator const wchar_t*() const { return text_; }
    // Writable (CreateProcessW may modify its command line in place).
    wchar_t* data() { return text_; }
    // UTF-16 units, without the terminating NUL.
    int length() const { return length_; }
    bool ok() const { return ok_; }

  private:
    void convert(const char* gbk, std::size_t length, Conversion conversion);

    wchar_t local_[300];
    wchar_t* text_ = local_;
    int length_ = 0;
    bool ok_ = false;
};

// Converts a UTF-16 text (length -1: NUL-terminated; otherwise exactly
// length units, NULs inside kept) to GBK in buffer, NUL-terminated. False,
// buffer empty, when it does not fit or holds a character that GBK cannot
// represent (a '?' in its place would name another file).
bool toGbk(const wchar_t* wide, int length, char* buffer, std::size_t capacity);

// The same, also reporting the GBK length without the NUL in *written.
bool toGbk(const wchar_t* wide, int length, char* buffer, std::size_t capacity,
           std::size_t* written);

}  // namespace kestrova::win32
