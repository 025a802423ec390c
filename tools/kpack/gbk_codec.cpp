#include "gbk_codec.h"

#include <cstdint>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace kestrova::kpack {
namespace {

#ifdef _WIN32
constexpr UINT kGbkCodePage = 936;

bool toWide(UINT codePage, const std::string& in, std::wstring* out) {
    out->clear();
    if (in.empty()) return true;
    const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(),
                                      static_cast<int>(in.size()), nullptr, 0);
    if (n <= 0) return false;
    out->resize(static_cast<std::size_t>(n));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(),
                               static_cast<int>(in.size()), &(*out)[0], n) == n;
}

// UTF-8 accepts no "used default character" flag, so only code page 936 is
// asked whether it had to substitute.
bool fromWide(UINT codePage, const std::wstring& in, std::string* out) {
    out->clear();
    if (in.empty()) return true;
    BOOL usedDefault = FALSE;
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL* used = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const int n = WideCharToMultiByte(codePage, flags, in.data(), static_cast<int>(in.size()),
                                      nullptr, 0, nullptr, used);
    if (n <= 0 || usedDefault) return false;
    out->resize(static_cast<std::size_t>(n));
    WideCharToMultiByte(codePage, flags, in.data(), static_cast<int>(in.size()), &(*out)[0], n,
                        nullptr, used);
    return !usedDefault;
}

bool convert(UINT from, UINT to, const std::string& in, std::string* out) {
    std::wstring wide;
    if (!toWide(from, in, &wide) || !fromWide(to, wide, out)) return false;
    // A substitution that the flags did not report shows as a round trip
    // that differs.
    std::wstring back;
    return to != kGbkCodePage || (toWide(to, *out, &back) && back == wide);
}
#else
bool convert(const char* from, const char* to, const std::string& in, std::string* out) {
    out->clear();
    if (in.empty()) return true;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string buffer(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = &buffer[0];
    std::size_t dstLeft = buffer.size();
    // Complete input only: a cut character is an error, and the final call
    // flushes any shift state.
    const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1) &&
                    srcLeft == 0 &&
                    iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!ok) return false;
    buffer.resize(buffer.size() - dstLeft);
    *out = std::move(buffer);
    return true;
}
#endif

}  // namespace

#ifdef _WIN32
bool utf8ToGbk(const std::string& utf8, std::string* gbk) {
    return convert(CP_UTF8, kGbkCodePage, utf8, gbk);
}
bool gbkToUtf8(const std::string& gbk, std::string* utf8) {
    return convert(kGbkCodePage, CP_UTF8, gbk, utf8);
}
#else
bool utf8ToGbk(const std::string& utf8, std::string* gbk) {
    return convert("UTF-8", "GBK", utf8, gbk);
}
bool gbkToUtf8(const std::string& gbk, std::string* utf8) {
    return convert("GBK", "UTF-8", gbk, utf8);
}
#endif

std::string displayGbk(const std::string& gbk) {
    std::string utf8;
    if (gbkToUtf8(gbk, &utf8)) return utf8;
    std::string out;
    for (unsigned char c : gbk) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string firstWithoutGbkForm(const std::string& utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        const std::string one = utf8.substr(i, n);
        std::string gbk;
        if (!utf8ToGbk(one, &gbk)) {
            uint32_t code = n == 1 ? c : c & (0x3F >> (n - 1));
            for (std::size_t k = 1; k < n && i + k < utf8.size(); ++k)
                code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
            char hex[16];
            std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(code));
            return "'" + one + "' (" + hex + ")";
        }
        i += n;
    }
    return "a character";
}

}  // namespace kestrova::kpack
