#include "platform/win32/wide.h"

#include <cstdlib>

namespace kestrova::win32 {

Wide::Wide(const char* gbk) {
    local_[0] = L'\0';
    if (!gbk) return;
    int n = MultiByteToWideChar(kGbk, 0, gbk, -1, nullptr, 0);
    if (n <= 0) return;
    if (n > static_cast<int>(sizeof local_ / sizeof local_[0])) {
        text_ = static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * n));
        if (!text_) {
            text_ = local_;
            return;
        }
    }
    ok_ = MultiByteToWideChar(kGbk, 0, gbk, -1, text_, n) == n;
    if (!ok_) text_[0] = L'\0';
}

Wide::~Wide() {
    if (text_ != local_) std::free(text_);
}

bool toGbk(const wchar_t* wide, int length, char* buffer, std::size_t capacity) {
    if (capacity == 0) return false;
    buffer[0] = '\0';
    int n = WideCharToMultiByte(kGbk, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return length == 0;
    // With length -1 the count includes the NUL; otherwise add room for it.
    std::size_t need = static_cast<std::size_t>(n) + (length == -1 ? 0 : 1);
    if (need > capacity) return false;
    WideCharToMultiByte(kGbk, 0, wide, length, buffer, n, nullptr, nullptr);
    buffer[need - 1] = '\0';
    return true;
}

}  // namespace kestrova::win32
