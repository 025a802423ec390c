#include "gbk.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace kestrova::test {
namespace {

#ifdef _WIN32
std::string convert(const std::string& in, unsigned from, unsigned to) {
    if (in.empty()) return {};
    int wn = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, in.data(), (int)in.size(), nullptr, 0);
    if (wn <= 0) std::abort();
    std::wstring wide(wn, L'\0');
    MultiByteToWideChar(from, 0, in.data(), (int)in.size(), &wide[0], wn);
    int n = WideCharToMultiByte(to, 0, wide.data(), wn, nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(to, 0, wide.data(), wn, &out[0], n, nullptr, nullptr);
    return out;
}
#else
std::string convert(const std::string& in, const char* from, const char* to) {
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1) std::abort();
    std::string out(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = &out[0];
    size_t dstLeft = out.size();
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == (size_t)-1) std::abort();
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return out;
}
#endif

}  // namespace

#ifdef _WIN32
std::string gbk(const std::string& utf8Text) {
    return convert(utf8Text, CP_UTF8, 936);
}
std::string utf8(const std::string& gbkBytes) {
    return convert(gbkBytes, 936, CP_UTF8);
}
std::wstring wideFromGbk(const std::string& gbkBytes) {
    if (gbkBytes.empty()) return {};
    int n =
        MultiByteToWideChar(936, 0, gbkBytes.data(), static_cast<int>(gbkBytes.size()), nullptr, 0);
    std::wstring wide(n > 0 ? n : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(936, 0, gbkBytes.data(), static_cast<int>(gbkBytes.size()), &wide[0],
                            n);
    return wide;
}
#else
std::string gbk(const std::string& utf8Text) {
    return convert(utf8Text, "UTF-8", "GBK");
}
std::string utf8(const std::string& gbkBytes) {
    return convert(gbkBytes, "GBK", "UTF-8");
}
#endif

}  // namespace kestrova::test
