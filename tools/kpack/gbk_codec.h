#pragma once
// Conversions between the manifest's UTF-8 and the package's GBK (code page
// 936): iconv on Linux, the code page 936 conversion on Windows, so both
// builds of kpack write the same bytes.
#include <string>

namespace kestrova::kpack {

// UTF-8 text to GBK bytes. False, *gbk unspecified, when the text is not
// valid UTF-8 or holds a character that has no GBK form.
bool utf8ToGbk(const std::string& utf8, std::string* gbk);

// GBK bytes to UTF-8 text. False when the bytes are not valid GBK.
bool gbkToUtf8(const std::string& gbk, std::string* utf8);

// For messages and listings: the UTF-8 form of GBK bytes, or, when they
// are not valid GBK, the ASCII bytes as they are and every other byte as
// \xNN. Never fails.
std::string displayGbk(const std::string& gbk);

// For messages: the first character of a UTF-8 text that has no GBK form,
// as "'c' (U+XXXX)"; "a character" when none is found.
std::string firstWithoutGbkForm(const std::string& utf8);

}  // namespace kestrova::kpack
