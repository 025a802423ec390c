#pragma once
// Licence documents for the text conversion's tests (tests/data/licences)
// and an independent decoder for it: iconv on Linux, the system's
// converter on Windows.
#include <string>

#include "formats/licence_text.h"

namespace kestrova::test {

// The bytes of tests/data/licences/<name>; a missing file fails the test.
std::string licenceDataFile(const std::string& name);

// A LicenceDecode: GBK (code page 936) or UTF-8 to UTF-16; a byte that
// starts no valid character becomes U+FFFD.
std::size_t decodeLicence(LicenceCharset charset, const char* bytes, std::size_t length,
                          char16_t* out, std::size_t capacity);

// licenceToText with decodeLicence, as UTF-8 for readable comparisons.
std::string licenceTextUtf8(const std::string& html, LicenceText* result = nullptr,
                            std::size_t capacity = 1 << 20);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf8FromUtf16(const std::u16string& text);

}  // namespace kestrova::test
