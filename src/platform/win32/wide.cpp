#include "platform/win32/wide.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace kestrova::win32 {

Wide::Wide(const char* gbk, Conversion conversion) {
    local_[0] = L'\0';
    if (gbk) convert(gbk, std::strlen(gbk), conversion);
}

Wide::Wide(const char* gbk, std::size_t length, Conversion conversion) {
    local_[0] = L'\0';
    if (gbk) convert(gbk, length, conversion);
}

void Wide::convert(const char* gbk, std::size_t length, Conversion conversion) {
    if (length == 0) {
        ok_ = true;  // MultiByteToWideChar rejects a zero length; the empty text is valid
        return;
    }
    if (length > static_cast<std::size_t>(INT_MAX / 2)) return;
    DWORD flags = conversion == Conversion::Strict ? MB_ERR_INVALID_CHARS : 0;
    int inLength = static_cast<int>(length);
    int n = MultiByteToWideChar(kGbk, flags, gbk, inLength, nullptr, 0);
    if (n <= 0) return;
    // One more unit for the NUL, which an explicit length does not produce.
    std::size_t units = static_cast<std::size_t>(n) + 1;
    if (units > sizeof local_ / sizeof local_[0]) {
        wchar_t* heap = static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * units));
        if (!heap) return;
        text_ = heap;
    }
    if (MultiByteToWideChar(kGbk, flags, gbk, inLength, text_, n) != n) {
        text_[0] = L'\0';
        return;
    }
    text_[n] = L'\0';
    length_ = n;
    ok_ = true;
}

Wide::~Wide() {
    if (text_ != local_) std::free(text_);
}

bool toGbk(const wchar_t* wide, int length, char* buffer, std::size_t capacity) {
    std::size_t written;
    return toGbk(wide, length, buffer, capacity, &written);
}

bool toGbk(const wchar_t* wide, int length, char* buffer, std::size_t capacity,
           std::size_t* written) {
    *written = 0;
    if (capacity == 0) return false;
    buffer[0] = '\0';
    if (length == -1) length = static_cast<int>(wcslen(wide));
    if (length < 0) return false;
    if (length == 0) return true;
    // No best-fit mapping and no default character: a character without a
    // GBK form makes the conversion fail instead of changing the text.
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(kGbk, flags, wide, length, nullptr, 0, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    if (static_cast<std::size_t>(n) >= capacity) return false;  // no room for the NUL
    if (WideCharToMultiByte(kGbk, flags, wide, length, buffer, n, nullptr, &usedDefault) != n ||
        usedDefault) {
        buffer[0] = '\0';
        return false;
    }
    buffer[n] = '\0';
    *written = static_cast<std::size_t>(n);
    return true;
}

}  // namespace kestrova::win32
