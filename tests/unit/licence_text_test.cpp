// The licence document as plain text: real licence files (the demo's, a
// GBK one with a table and character references, a UTF-8 one declared in
// a meta tag) read to exactly the text a reader expects; the declared
// character set is found where browsers find it; broken and hostile markup
// loses no text and never writes past the buffer.
#include "formats/licence_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gbk.h"
#include "licence_files.h"

namespace kestrova {
using test::licenceDataFile;
using test::licenceTextUtf8;

namespace {

LicenceCharset charsetOf(const std::string& html) {
    return licenceCharset(html.data(), html.size());
}

std::string demoLicence() {
    return licenceDataFile("../../../examples/demo/licence.htm");
}

}  // namespace

TEST(LicenceText, RealLicenceFilesReadAsPlainText) {
    // Each document beside the text (UTF-8, CR LF lines) a reader expects.
    // The demo's licence is UTF-8. table-entities.htm is GBK declared as
    // gb2312, upper-case markup with CR LF lines, a table, character
    // references, and a script, a style and a comment that hold markup.
    // utf8-meta.htm declares UTF-8 in an http-equiv meta tag and has nested
    // lists, characters outside the BMP, <pre> and Windows-1252 references.
    struct Case {
        std::string html, expected;
        LicenceCharset charset;
    } cases[] = {
        {demoLicence(), licenceDataFile("demo.txt"), LicenceCharset::Utf8},
        {licenceDataFile("table-entities.htm"), licenceDataFile("table-entities.txt"),
         LicenceCharset::Gbk},
        {licenceDataFile("utf8-meta.htm"), licenceDataFile("utf8-meta.txt"), LicenceCharset::Utf8},
    };
    for (const Case& c : cases) {
        LicenceText result;
        EXPECT_EQ(licenceTextUtf8(c.html, &result), c.expected);
        EXPECT_EQ(result.charset, c.charset);
        EXPECT_FALSE(result.truncated);
    }
}

TEST(LicenceText, DeclaredCharacterSet) {
    using C = LicenceCharset;
    bool declared = true;
    EXPECT_EQ(licenceCharset("<p>none</p>", 11, &declared), C::Gbk);
    EXPECT_FALSE(declared);
    EXPECT_EQ(licenceCharset("<meta charset=gbk>", 18, &declared), C::Gbk);
    EXPECT_TRUE(declared);
    EXPECT_EQ(charsetOf("\xEF\xBB\xBF<p>byte order mark</p>"), C::Utf8);
    EXPECT_EQ(charsetOf("<meta charset=\"utf-8\">"), C::Utf8);
    EXPECT_EQ(charsetOf("<META CHARSET=UTF8>"), C::Utf8);
    EXPECT_EQ(charsetOf("<meta charset=' utf-8 '>"), C::Utf8);
    EXPECT_EQ(charsetOf("<meta content=\"text/html;charset = utf-8\" http-equiv=content-type>"),
              C::Utf8);
    EXPECT_EQ(charsetOf("<meta charset=gbk>"), C::Gbk);
    EXPECT_EQ(charsetOf("<meta charset=GB18030><meta charset=utf-8>"), C::Gbk);  // the first
    EXPECT_EQ(charsetOf("<meta charset=big5>"), C::Gbk);
    // Declarations a browser does not see are not taken either.
    EXPECT_EQ(charsetOf("<!-- <meta charset=utf-8> -->"), C::Gbk);
    EXPECT_EQ(charsetOf("<script>s='<meta charset=utf-8>'</script>"), C::Gbk);
    EXPECT_EQ(charsetOf("<body><meta charset=utf-8>"), C::Gbk);
    EXPECT_EQ(charsetOf("<p title=\"<meta charset=utf-8>\">"), C::Gbk);
    EXPECT_EQ(charsetOf(std::string(kCharsetScanBytes, ' ') + "<meta charset=utf-8>"), C::Gbk);

    // Without a declaration the text is GBK, the setup's own character set.
    EXPECT_EQ(licenceTextUtf8(test::gbk(u8"<p>许可协议</p>")), u8"许可协议");
    EXPECT_EQ(licenceTextUtf8("\xEF\xBB\xBF<p>\xE8\xAE\xB8</p>"), u8"许");
}

TEST(LicenceText, MarkupAndReferencesAsBrowsersReadThem) {
    struct Case {
        const char* html;
        const char* text;
    } cases[] = {
        {"a < b, 1<2 and c<d>e", "a < b, 1<2 and ce"},
        {"x &unknown; &#; &#xZ; & y", "x &unknown; &#; &#xZ; & y"},
        {"&copy2004 &ampx &lt;&gt &nbsp;", u8"©2004 &x <>  "},
        {"&#0;&#xD800;&#99999999999999;&#x110000;", u8"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"&#65;&#x42;&#X43;&#x1F600;", u8"ABC😀"},
        {"a&#10;&#9;&#32;b&shy;c\x01\x7F"
         "d",
         "a bcd"},
        {"<p>one</p><p>two</p><br><br><br>three", "one\r\n\r\ntwo\r\n\r\n\r\n\r\n\r\nthree"},
        {"  lead   and\r\n\ttrail  <br>  ", "lead and trail"},
        {"<b>bo</b><i>ld</i> <span>x</span>", "bold x"},
        {"<!--unterminated <p>comment", ""},
        {"<!DOCTYPE html><?xml x?>text</ >", "text"},
        {"<p title='a>b' class=\"c>d\">shown</p>", "shown"},
        {"<a href=\"never closed>lost text", ""},
        {"<script>never closed <p>x", ""},
        {"<SCRIPT>x</script >shown</scripts>", "shown"},
        {"<pre>\r\n  a\r\n\r\n  b</pre>c", "  a\r\n\r\n  b\r\n\r\nc"},
        {"<ol><li>a<li>b</ol><ol><li>c</ol>", "1. a\r\n2. b\r\n\r\n1. c"},
        {"<li>stray item</li></ol></ul></pre>after", u8"• stray item\r\n\r\nafter"},
        {"<td>cell</td><td>cell</td>", "cell\tcell"},
        {"a<br/>b</br>c", "a\r\nb\r\nc"},
        {"x\0y", "x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(licenceTextUtf8(c.html), c.text) << c.html;
    }
    // A NUL inside the document would end the text control's text early.
    EXPECT_EQ(licenceTextUtf8(std::string("x\0y", 3)), "xy");
}

TEST(LicenceText, LongTextsDecodeWholeCharactersAndStopAtTheBuffer) {
    // Runs of text longer than the decoding step: a character cut in two
    // at a step would show as a replacement character.
    std::string chinese;
    for (int i = 0; i < 700; ++i) chinese += u8"许可a";
    std::string utf8Text = licenceTextUtf8("<meta charset=utf-8>" + chinese);
    EXPECT_EQ(utf8Text, chinese);
    EXPECT_EQ(licenceTextUtf8(test::gbk(chinese)), chinese);

    // A full buffer: the text stops there, NUL-terminated, flagged, never
    // ending on half of a surrogate pair.
    std::string emoji;
    for (int i = 0; i < 100; ++i) emoji += u8"😀";
    for (std::size_t capacity : {1, 2, 3, 4, 7, 50, 201}) {
        LicenceText result;
        std::string text =
            licenceTextUtf8("<meta charset=utf-8><p>x</p>" + emoji, &result, capacity);
        EXPECT_TRUE(result.truncated) << capacity;
        EXPECT_LT(result.length, capacity);
        EXPECT_EQ(text.find(u8"\uFFFD"), std::string::npos) << capacity;
    }
    LicenceText result;
    licenceTextUtf8("<meta charset=utf-8>" + emoji, &result, 201);
    EXPECT_FALSE(result.truncated);
    EXPECT_EQ(result.length, 200u);
}

}  // namespace kestrova
