#include "licence_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "data_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace kestrova::test {

std::string licenceDataFile(const std::string& name) {
    return testDataFile("licences/" + name);
}

#ifdef _WIN32
std::size_t decodeLicence(LicenceCharset charset, const char* bytes, std::size_t length,
                          char16_t* out, std::size_t capacity) {
    UINT codePage = charset == LicenceCharset::Utf8 ? CP_UTF8 : 936;
    int n = MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(length),
                                reinterpret_cast<wchar_t*>(out), static_cast<int>(capacity));
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}
#else
std::size_t decodeLicence(LicenceCharset charset, const char* bytes, std::size_t length,
                          char16_t* out, std::size_t capacity) {
    iconv_t cd = iconv_open("UTF-16LE", charset == LicenceCharset::Utf8 ? "UTF-8" : "GBK");
    if (cd == (iconv_t)-1) std::abort();
    std::size_t written = 0;
    char* src = const_cast<char*>(bytes);
    std::size_t srcLeft = length;
    while (srcLeft > 0 && written < capacity) {
        char* dst = reinterpret_cast<char*>(out + written);
        std::size_t dstLeft = (capacity - written) * 2;
        std::size_t before = dstLeft;
        std::size_t result = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        written += (before - dstLeft) / 2;
        if (result != (std::size_t)-1 || written >= capacity) break;
        // An invalid or cut-off character: one replacement, then go on.
        out[written++] = u'\uFFFD';
        ++src;
        --srcLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return written;
}
#endif

std::string utf8FromUtf16(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string licenceTextUtf8(const std::string& html, LicenceText* result, std::size_t capacity) {
    std::vector<char16_t> out(capacity);
    LicenceText text = licenceToText(html.data(), html.size(), decodeLicence, out.data(), capacity);
    EXPECT_EQ(out[text.length], u'\0');
    if (result) *result = text;
    return utf8FromUtf16(std::u16string(out.data(), text.length));
}

}  // namespace kestrova::test
