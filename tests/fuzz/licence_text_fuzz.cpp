// Fuzz target: the licence text conversion on any bytes, with buffers from
// one unit to more than the text needs. Beyond the sanitizers' checks it
// holds the output to what the text control is given: NUL-terminated
// inside the buffer, no NUL or control character inside the text but CR LF
// pairs and tabs, surrogates only in pairs, and the decoder only ever asked
// to decode within its bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "formats/licence_text.h"

namespace {

// Each byte to one unit that is neither a control nor a surrogate, so what
// the checks find comes from the conversion itself.
std::size_t decodeBytes(kestrova::LicenceCharset, const char* bytes, std::size_t length,
                        char16_t* out, std::size_t capacity) {
    if (length == 0 || capacity < length) std::abort();
    for (std::size_t i = 0; i < length; ++i) {
        auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x20 || byte == 0x7F) std::abort();  // control bytes never reach it
        out[i] = byte < 0x80 ? byte : static_cast<char16_t>(0x4E00 + byte);
    }
    return length;
}

void check(const char* html, std::size_t size, std::size_t capacity) {
    std::vector<char16_t> out(capacity + 1, u'\xABCD');
    kestrova::LicenceText text =
        kestrova::licenceToText(html, size, decodeBytes, out.data(), capacity);
    if (text.length >= capacity || out[text.length] != u'\0' || out[capacity] != u'\xABCD')
        std::abort();
    for (std::size_t i = 0; i < text.length; ++i) {
        char16_t c = out[i];
        bool lineEnd = c == u'\r' && i + 1 < text.length && out[i + 1] == u'\n';
        bool lineFeed = c == u'\n' && i > 0 && out[i - 1] == u'\r';
        if (c < 0x20 && c != u'\t' && !lineEnd && !lineFeed) std::abort();
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= text.length || (out[i + 1] & 0xFC00) != 0xDC00) std::abort();
            ++i;
        } else if ((c & 0xFC00) == 0xDC00) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* html = reinterpret_cast<const char*>(data);
    kestrova::licenceCharset(html, size);
    for (std::size_t capacity :
         {std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{64}, size * 8 + 256}) {
        check(html, size, capacity);
    }
    return 0;
}
