#pragma once
// Reading HTML markup byte by byte, for the licence text conversion and its
// character set scan. Works on GBK and UTF-8 alike: every byte that markup
// is made of is ASCII (below 0x40), and neither a UTF-8 byte of a
// multi-byte character nor the second byte of a GBK character is below
// 0x40, so a text byte is never mistaken for markup.
#include <cstddef>

namespace kestrova::markup {

inline bool isSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
inline bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
inline bool isAlpha(unsigned char c) {
    return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
}
inline unsigned char lower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c | 0x20 : c;
}

// A tag's name in lower case: "?" when it is longer than any name the
// conversion knows.
constexpr std::size_t kTagNameSize = 12;

struct Tag {
    char name[kTagNameSize] = {};
    bool closing = false;
};

// The markup at s[i] == '<' (i < n). A start or end tag: true, *tag filled,
// *next at its first attribute (walk them with nextAttribute). A comment,
// a declaration (<!DOCTYPE ...>) or a processing instruction: true, name
// empty, *next after its end (n when it never ends). A '<' that starts no
// markup ("a < b"): false, and it is text.
bool readMarkup(const char* s, std::size_t n, std::size_t i, Tag* tag, std::size_t* next);

struct Attribute {
    std::size_t nameBegin = 0, nameEnd = 0, valueBegin = 0, valueEnd = 0;
};

// Reads the attribute of a tag at *i into *attribute and moves *i past it.
// False at the end of the tag, with *i after its '>' (n when it never ends).
// A quoted value may hold '>'.
bool nextAttribute(const char* s, std::size_t n, std::size_t* i, Attribute* attribute);

// Skips the rest of a tag from i; the position after its '>', or n.
std::size_t skipTag(const char* s, std::size_t n, std::size_t i);

// Where the end tag of a raw text element (script, style, ...) named name
// starts at or after i, matched case-insensitively; n when it is missing,
// as a browser then takes the rest of the document as that element's text.
std::size_t findEndTag(const char* s, std::size_t n, std::size_t i, const char* name);

// Whether s[begin, end) equals the lower-case word, ignoring case.
bool equalsWord(const char* s, std::size_t begin, std::size_t end, const char* word);

}  // namespace kestrova::markup
