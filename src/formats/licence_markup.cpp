#include "formats/licence_markup.h"

#include <cstring>

#include "formats/licence_text.h"

namespace kestrova::markup {
namespace {

// Skips to the first occurrence of the ASCII text end at or after i; the
// position after it, or n.
std::size_t skipPast(const char* s, std::size_t n, std::size_t i, const char* end) {
    std::size_t length = std::strlen(end);
    for (; i + length <= n; ++i) {
        if (std::memcmp(s + i, end, length) == 0) return i + length;
    }
    return n;
}

bool endsName(unsigned char c) {
    return isSpace(c) || c == '/' || c == '>';
}

}  // namespace

bool readMarkup(const char* s, std::size_t n, std::size_t i, Tag* tag, std::size_t* next) {
    *tag = Tag{};
    std::size_t p = i + 1;
    if (p >= n) return false;
    unsigned char c = s[p];
    if (c == '!') {
        // "<!-->" counts as an empty comment, as browsers read it.
        *next = p + 2 < n && s[p + 1] == '-' && s[p + 2] == '-' ? skipPast(s, n, p + 1, "-->")
                                                                : skipPast(s, n, p, ">");
        return true;
    }
    if (c == '?') {
        *next = skipPast(s, n, p, ">");
        return true;
    }
    if (c == '/') {
        tag->closing = true;
        if (++p >= n) return false;
        c = s[p];
    }
    if (!isAlpha(c)) {
        if (!tag->closing) return false;
        // "</ ...>" and the like: a browser drops it like a comment.
        *next = skipPast(s, n, p, ">");
        tag->closing = false;
        return true;
    }
    std::size_t length = 0;
    for (; p < n && !endsName(s[p]); ++p, ++length) {
        if (length < kTagNameSize - 1) tag->name[length] = lower(s[p]);
    }
    if (length >= kTagNameSize - 1) std::strcpy(tag->name, "?");
    *next = p;
    return true;
}

bool nextAttribute(const char* s, std::size_t n, std::size_t* i, Attribute* attribute) {
    std::size_t p = *i;
    while (p < n && (isSpace(s[p]) || s[p] == '/')) ++p;
    if (p >= n || s[p] == '>') {
        *i = p < n ? p + 1 : n;
        return false;
    }
    // The first character belongs to the name whatever it is, so every
    // call moves on by at least one byte.
    attribute->nameBegin = p++;
    while (p < n && !endsName(s[p]) && s[p] != '=') ++p;
    attribute->nameEnd = attribute->valueBegin = attribute->valueEnd = p;
    std::size_t q = p;
    while (q < n && isSpace(s[q])) ++q;
    if (q < n && s[q] == '=') {
        ++q;
        while (q < n && isSpace(s[q])) ++q;
        if (q < n && (s[q] == '"' || s[q] == '\'')) {
            char quote = s[q++];
            attribute->valueBegin = q;
            while (q < n && s[q] != quote) ++q;
            attribute->valueEnd = q;
            if (q < n) ++q;
        } else {
            attribute->valueBegin = q;
            while (q < n && !isSpace(s[q]) && s[q] != '>') ++q;
            attribute->valueEnd = q;
        }
        p = q;
    }
    *i = p;
    return true;
}

std::size_t skipTag(const char* s, std::size_t n, std::size_t i) {
    Attribute attribute;
    while (nextAttribute(s, n, &i, &attribute)) {
    }
    return i;
}

std::size_t findEndTag(const char* s, std::size_t n, std::size_t i, const char* name) {
    std::size_t length = std::strlen(name);
    for (; i + 2 + length <= n; ++i) {
        if (s[i] != '<' || s[i + 1] != '/') continue;
        if (!equalsWord(s, i + 2, i + 2 + length, name)) continue;
        if (i + 2 + length == n || endsName(s[i + 2 + length])) return i;
    }
    return n;
}

bool equalsWord(const char* s, std::size_t begin, std::size_t end, const char* word) {
    for (; begin < end; ++begin, ++word) {
        if (*word == '\0' || lower(s[begin]) != static_cast<unsigned char>(*word)) return false;
    }
    return *word == '\0';
}

}  // namespace kestrova::markup

namespace kestrova {
namespace {

using namespace markup;

// A declared character set name: UTF-8 by its names (a document that
// declares UTF-16 while its markup reads as ASCII is UTF-8, as browsers
// take it); any other name is read as GBK.
LicenceCharset charsetNamed(const char* s, std::size_t begin, std::size_t end) {
    while (begin < end && (isSpace(s[begin]) || s[begin] == '"' || s[begin] == '\'')) ++begin;
    std::size_t stop = begin;
    while (stop < end && !isSpace(s[stop]) && s[stop] != ';' && s[stop] != '"' && s[stop] != '\'')
        ++stop;
    bool utf8 = equalsWord(s, begin, stop, "utf-8") || equalsWord(s, begin, stop, "utf8") ||
                equalsWord(s, begin, stop, "unicode-1-1-utf-8") ||
                (stop - begin >= 6 && equalsWord(s, begin, begin + 6, "utf-16"));
    return utf8 ? LicenceCharset::Utf8 : LicenceCharset::Gbk;
}

// The "charset=" inside a content attribute's value, if any: the position
// after its '='.
bool findCharsetParameter(const char* s, std::size_t begin, std::size_t end, std::size_t* at) {
    for (std::size_t p = begin; p + 7 <= end; ++p) {
        if (!equalsWord(s, p, p + 7, "charset")) continue;
        std::size_t q = p + 7;
        while (q < end && isSpace(s[q])) ++q;
        if (q < end && s[q] == '=') {
            *at = q + 1;
            return true;
        }
    }
    return false;
}

bool isRawText(const char* name) {
    return std::strcmp(name, "script") == 0 || std::strcmp(name, "style") == 0 ||
           std::strcmp(name, "title") == 0 || std::strcmp(name, "template") == 0;
}

}  // namespace

LicenceCharset licenceCharset(const char* s, std::size_t length, bool* declared) {
    bool ignored;
    if (!declared) declared = &ignored;
    *declared = true;
    if (length >= 3 && static_cast<unsigned char>(s[0]) == 0xEF &&
        static_cast<unsigned char>(s[1]) == 0xBB && static_cast<unsigned char>(s[2]) == 0xBF)
        return LicenceCharset::Utf8;
    std::size_t n = length < kCharsetScanBytes ? length : kCharsetScanBytes;
    for (std::size_t i = 0; i < n;) {
        Tag tag;
        std::size_t next = 0;
        if (s[i] != '<' || !readMarkup(s, n, i, &tag, &next)) {
            ++i;
            continue;
        }
        i = next;
        if (tag.name[0] == '\0' || tag.closing) continue;
        if (std::strcmp(tag.name, "body") == 0) break;
        if (std::strcmp(tag.name, "meta") != 0) {
            i = skipTag(s, n, i);
            // A script's text may quote a meta tag; it declares nothing.
            if (isRawText(tag.name)) i = findEndTag(s, n, i, tag.name);
            continue;
        }
        Attribute a;
        while (nextAttribute(s, n, &i, &a)) {
            std::size_t at = 0;
            if (equalsWord(s, a.nameBegin, a.nameEnd, "charset"))
                return charsetNamed(s, a.valueBegin, a.valueEnd);
            if (equalsWord(s, a.nameBegin, a.nameEnd, "content") &&
                findCharsetParameter(s, a.valueBegin, a.valueEnd, &at))
                return charsetNamed(s, at, a.valueEnd);
        }
    }
    *declared = false;
    return LicenceCharset::Gbk;
}

}  // namespace kestrova
