#include "formats/licence_text.h"

#include <cstdint>
#include <cstring>

#include "formats/licence_markup.h"
#include "formats/licence_writer.h"
#include "state/bounded_text.h"

namespace kestrova {
namespace {

using namespace markup;

// What an element does to the text's layout.
enum Layout : std::uint8_t {
    kInline,     // nothing: <b>, <span>, <a>, unknown names
    kRawSkip,    // its text is not shown: <script>, <style>, <title>
    kLine,       // starts and ends a line: <div>, <tr>
    kBlock,      // stands apart by a blank line: <p>, <h1>, <table>
    kBreak,      // <br>
    kCell,       // <td>, <th>
    kList,       // <ul>
    kOrdered,    // <ol>
    kItem,       // <li>
    kPreformat,  // <pre>: whitespace kept
};

struct ElementLayout {
    char name[kTagNameSize];
    Layout layout;
};

constexpr ElementLayout kElements[] = {
    {"p", kBlock},        {"br", kBreak},      {"div", kLine},         {"li", kItem},
    {"ul", kList},        {"ol", kOrdered},    {"td", kCell},          {"th", kCell},
    {"tr", kLine},        {"table", kBlock},   {"h1", kBlock},         {"h2", kBlock},
    {"h3", kBlock},       {"h4", kBlock},      {"h5", kBlock},         {"h6", kBlock},
    {"hr", kBlock},       {"pre", kPreformat}, {"blockquote", kBlock}, {"dl", kBlock},
    {"dt", kLine},        {"dd", kLine},       {"caption", kLine},     {"fieldset", kBlock},
    {"center", kLine},    {"address", kLine},  {"form", kLine},        {"section", kLine},
    {"article", kLine},   {"header", kLine},   {"footer", kLine},      {"nav", kLine},
    {"main", kLine},      {"aside", kLine},    {"figure", kLine},      {"figcaption", kLine},
    {"script", kRawSkip}, {"style", kRawSkip}, {"title", kRawSkip},    {"template", kRawSkip},
};

Layout layoutOf(const char* name) {
    for (const ElementLayout& element : kElements) {
        if (std::strcmp(element.name, name) == 0) return element.layout;
    }
    return kInline;
}

struct Entity {
    char name[7];
    std::uint16_t codePoint;
};

// The named references licence texts use. Those below U+0100 are also
// recognised without their ';' ("&copy 2004"), as browsers do.
constexpr Entity kEntities[] = {
    {"amp", '&'},       {"lt", '<'},        {"gt", '>'},        {"quot", '"'},
    {"apos", '\''},     {"AMP", '&'},       {"LT", '<'},        {"GT", '>'},
    {"QUOT", '"'},      {"nbsp", 0xA0},     {"copy", 0xA9},     {"COPY", 0xA9},
    {"reg", 0xAE},      {"REG", 0xAE},      {"sect", 0xA7},     {"para", 0xB6},
    {"middot", 0xB7},   {"laquo", 0xAB},    {"raquo", 0xBB},    {"deg", 0xB0},
    {"plusmn", 0xB1},   {"times", 0xD7},    {"divide", 0xF7},   {"yen", 0xA5},
    {"pound", 0xA3},    {"cent", 0xA2},     {"shy", 0xAD},      {"micro", 0xB5},
    {"iexcl", 0xA1},    {"iquest", 0xBF},   {"frac12", 0xBD},   {"frac14", 0xBC},
    {"frac34", 0xBE},   {"sup2", 0xB2},     {"sup3", 0xB3},     {"trade", 0x2122},
    {"mdash", 0x2014},  {"ndash", 0x2013},  {"hellip", 0x2026}, {"lsquo", 0x2018},
    {"rsquo", 0x2019},  {"ldquo", 0x201C},  {"rdquo", 0x201D},  {"sbquo", 0x201A},
    {"bdquo", 0x201E},  {"bull", 0x2022},   {"euro", 0x20AC},   {"dagger", 0x2020},
    {"Dagger", 0x2021}, {"permil", 0x2030}, {"ensp", 0x2002},   {"emsp", 0x2003},
    {"thinsp", 0x2009}, {"larr", 0x2190},   {"rarr", 0x2192},   {"uarr", 0x2191},
    {"darr", 0x2193},   {"zwnj", 0x200C},   {"zwj", 0x200D},
};

// Windows-1252 meanings of the references &#128; to &#159;, which browsers
// show instead of the control characters (0: none, shown as nothing).
constexpr std::uint16_t kWindows1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// List nesting kept for markers and numbers; deeper lists reuse the last.
constexpr int kListDepth = 8;

class Converter {
  public:
    Converter(const char* s, std::size_t n, LicenceWriter* writer) : s_(s), n_(n), out_(*writer) {}

    void run(std::size_t i) {
        while (i < n_ && !out_.full()) {
            unsigned char c = s_[i];
            if (c == '<') {
                i = markup(i);
            } else if (c == '&') {
                i = reference(i);
            } else if (isSpace(c)) {
                i = whitespace(i);
            } else {
                if (c >= 0x20 && c != 0x7F) out_.textByte(c);
                ++i;
            }
        }
    }

  private:
    std::size_t markup(std::size_t i) {
        Tag tag;
        std::size_t next = 0;
        if (!readMarkup(s_, n_, i, &tag, &next)) {
            out_.textByte('<');
            return i + 1;
        }
        if (tag.name[0] == '\0') return next;  // comment or declaration
        next = skipTag(s_, n_, next);
        Layout layout = layoutOf(tag.name);
        if (tag.closing) {
            closeElement(layout);
        } else if (layout == kRawSkip) {
            next = findEndTag(s_, n_, next, tag.name);
        } else {
            next = openElement(layout, next);
        }
        return next;
    }

    // Returns where the text after the start tag at next continues.
    std::size_t openElement(Layout layout, std::size_t next) {
        switch (layout) {
            case kBreak:
                out_.lineBreak();
                break;
            case kLine:
                out_.blockBreak(1);
                break;
            case kBlock:
                out_.blockBreak(2);
                break;
            case kCell:
                out_.cell();
                break;
            case kList:
            case kOrdered:
                out_.blockBreak(depth_ == 0 ? 2 : 1);
                if (depth_ < kListDepth) {
                    ordered_[depth_] = layout == kOrdered;
                    number_[depth_] = 1;
                }
                ++depth_;
                break;
            case kItem:
                item();
                break;
            case kPreformat:
                out_.blockBreak(2);
                ++preformatted_;
                // A newline right after <pre> is not part of its text.
                if (next < n_ && s_[next] == '\r') ++next;
                if (next < n_ && s_[next] == '\n') ++next;
                break;
            default:
                break;
        }
        return next;
    }

    void closeElement(Layout layout) {
        switch (layout) {
            case kBreak:
                out_.lineBreak();
                break;  // </br> is read as <br>
            case kLine:
            case kItem:
                out_.blockBreak(1);
                break;
            case kBlock:
                out_.blockBreak(2);
                break;
            case kList:
            case kOrdered:
                if (depth_ > 0) --depth_;
                out_.blockBreak(depth_ == 0 ? 2 : 1);
                break;
            case kPreformat:
                if (preformatted_ > 0) --preformatted_;
                out_.blockBreak(2);
                break;
            default:
                break;
        }
    }

    // A list item's line: indented by its nesting, then "3. " or a bullet.
    void item() {
        out_.blockBreak(1);
        int level = depth_ < kListDepth ? depth_ : kListDepth;
        for (int i = 1; i < level; ++i) {
            out_.character(' ');
            out_.character(' ');
        }
        if (level > 0 && ordered_[level - 1]) {
            char digits[20];
            const char* end = appendDecimal(digits, number_[level - 1]++);
            for (const char* d = digits; d < end; ++d) out_.character(*d);
            out_.character('.');
        } else {
            out_.character(0x2022);
        }
        out_.character(' ');
    }

    std::size_t whitespace(std::size_t i) {
        unsigned char c = s_[i];
        if (preformatted_ == 0) {
            out_.space();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < n_ && s_[i + 1] == '\n') ++i;
            out_.lineBreak();
        } else {
            out_.character(c == '\t' ? '\t' : ' ');
        }
        return i + 1;
    }

    // A character reference at s_[i] == '&'; an unknown one is text.
    std::size_t reference(std::size_t i) {
        std::size_t p = i + 1;
        if (p < n_ && s_[p] == '#') return numericReference(i);
        std::size_t nameEnd = p;
        while (nameEnd < n_ && nameEnd - p < 8 && (isAlpha(s_[nameEnd]) || isDigit(s_[nameEnd])))
            ++nameEnd;
        bool terminated = nameEnd < n_ && s_[nameEnd] == ';';
        const Entity* found = nullptr;
        std::size_t foundLength = 0;
        for (const Entity& entity : kEntities) {
            std::size_t length = std::strlen(entity.name);
            if (length > nameEnd - p || std::memcmp(entity.name, s_ + p, length) != 0) continue;
            if (terminated && length == nameEnd - p) {
                emit(entity.codePoint);
                return nameEnd + 1;
            }
            if (entity.codePoint < 0x100 && length > foundLength) {
                found = &entity;
                foundLength = length;
            }
        }
        if (!found) {
            out_.textByte('&');
            return p;
        }
        emit(found->codePoint);
        return p + foundLength;
    }

    std::size_t numericReference(std::size_t i) {
        std::size_t p = i + 2;
        bool hex = p < n_ && (s_[p] | 0x20) == 'x';
        if (hex) ++p;
        std::size_t digitsBegin = p;
        std::uint32_t value = 0;
        for (; p < n_; ++p) {
            unsigned char c = s_[p];
            std::uint32_t digit;
            if (isDigit(c)) {
                digit = c - '0';
            } else if (hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
                digit = (c | 0x20) - 'a' + 10;
            } else {
                break;
            }
            // Held at the first value past Unicode: any longer number is
            // just as invalid, and the product cannot overflow.
            value = value * (hex ? 16 : 10) + digit;
            if (value > 0x10FFFF) value = 0x110000;
        }
        if (p == digitsBegin) {
            out_.textByte('&');
            return i + 1;
        }
        if (p < n_ && s_[p] == ';') ++p;
        if (value >= 0x80 && value <= 0x9F)
            value = kWindows1252[value - 0x80];
        else if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            value = 0xFFFD;
        emit(value);
        return p;
    }

    void emit(std::uint32_t codePoint) {
        if (codePoint == '\t' || codePoint == '\n' || codePoint == '\r' || codePoint == '\f' ||
            codePoint == ' ') {
            if (preformatted_ > 0 && (codePoint == '\n' || codePoint == '\r'))
                out_.lineBreak();
            else if (preformatted_ > 0)
                out_.character(codePoint == '\t' ? '\t' : ' ');
            else
                out_.space();
        } else if (codePoint == 0xA0) {
            out_.character(' ');  // a space that does not collapse
        } else if (codePoint >= 0x20 && codePoint != 0x7F && codePoint != 0xAD) {
            out_.character(codePoint);
        }
        // Control characters, a soft hyphen and unmapped &#129; show nothing.
    }

    const char* s_;
    std::size_t n_;
    LicenceWriter& out_;
    int depth_ = 0;
    bool ordered_[kListDepth] = {};
    unsigned number_[kListDepth] = {};
    int preformatted_ = 0;
};

}  // namespace

LicenceText licenceToText(const char* html, std::size_t length, LicenceDecode decode, char16_t* out,
                          std::size_t capacity) {
    LicenceCharset charset = licenceCharset(html, length);
    if (capacity == 0) {
        LicenceText nothing;
        nothing.charset = charset;
        nothing.truncated = true;
        return nothing;  // not even room for the closing NUL
    }
    LicenceWriter writer(charset, decode, out, capacity);
    Converter converter(html, length, &writer);
    // The byte order mark only names the character set.
    bool bom =
        charset == LicenceCharset::Utf8 && length >= 3 && std::memcmp(html, "\xEF\xBB\xBF", 3) == 0;
    converter.run(bom ? 3 : 0);
    return writer.finish();
}

}  // namespace kestrova
