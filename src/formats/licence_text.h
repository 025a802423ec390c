#pragma once
// The licence document (an HTML file) as plain text, for the read-only text
// control the licence page shows where the system's browser control cannot
// show the document. Portable: the conversion from the document's character
// set to UTF-16 is the caller's, through a decode function (the system's
// converter on Windows), so no code page table lives here.
#include <cstddef>

namespace kestrova {

enum class LicenceCharset { Gbk, Utf8 };

// How far into the document a character set declaration is looked for.
constexpr std::size_t kCharsetScanBytes = 8192;

// The character set the document declares: a UTF-8 byte order mark, else
// the first <meta charset="..."> or <meta content="...; charset=..."> before
// <body> within the first kCharsetScanBytes bytes. "utf-8" (and its aliases)
// is UTF-8; GBK, GB2312, GB18030, any other name and no declaration at all
// read as GBK, the setup's own character set. *declared (when given) tells
// whether the document names its character set at all.
LicenceCharset licenceCharset(const char* html, std::size_t length, bool* declared = nullptr);

// Decodes length bytes of text in charset to UTF-16 at out, at most capacity
// units, and returns the units written. The bytes are whole characters
// unless the document itself holds a broken one; both character sets need
// at most one UTF-16 unit per byte, and capacity is never less than length.
using LicenceDecode = std::size_t (*)(LicenceCharset charset, const char* bytes, std::size_t length,
                                      char16_t* out, std::size_t capacity);

struct LicenceText {
    std::size_t length = 0;  // UTF-16 units written, without the closing NUL
    LicenceCharset charset = LicenceCharset::Gbk;
    bool truncated = false;  // out was too small for the whole text
};

// Converts the HTML document html[0, length) to plain text in out (capacity
// UTF-16 units, at least 1), always NUL-terminated, lines ending CR LF:
// - tags are dropped; paragraphs, headings, lists, tables and <hr> stand
//   apart by a blank line, <br>, <div>, list items and table rows start a
//   line, table cells on one row are separated by a tab; list items begin
//   with "1. " (ordered) or a bullet;
// - whitespace collapses to one space as a browser shows it, except inside
//   <pre>; no leading or trailing blank lines;
// - character references (&amp; &lt; &nbsp; &copy; ..., &#8212; &#x2014;)
//   are decoded; unknown ones stay as written;
// - the content of <script>, <style>, <title> and <template> and comments
//   are left out; control bytes other than whitespace show nothing.
// Work and memory are linear in length and bounded by capacity: when out is
// full the conversion stops there and truncated is set.
LicenceText licenceToText(const char* html, std::size_t length, LicenceDecode decode, char16_t* out,
                          std::size_t capacity);

}  // namespace kestrova
