#pragma once
// An independent GBK converter for tests: iconv on Linux, code page 936 on
// Windows. Tests compare the program's GBK bytes with its output.
#include <string>

namespace kestrova::test {

// UTF-8 text to GBK bytes; aborts the test program on text without a GBK form.
std::string gbk(const std::string& utf8);
// GBK bytes to UTF-8 text.
std::string utf8(const std::string& gbkBytes);

#ifdef _WIN32
// GBK bytes to UTF-16, for expected wide names on Windows.
std::wstring wideFromGbk(const std::string& gbkBytes);
#endif

}  // namespace kestrova::test
