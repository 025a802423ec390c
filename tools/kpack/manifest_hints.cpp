#include "manifest_hints.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "gbk_codec.h"

namespace kestrova::kpack {
namespace {

// Line n (1-based) of text, without its line end; "" past the end.
std::string lineAt(const std::string& text, int n) {
    std::size_t at = 0;
    for (int i = 1; i < n && at != std::string::npos; ++i) {
        at = text.find('\n', at);
        if (at != std::string::npos) ++at;
    }
    if (at == std::string::npos || at > text.size()) return "";
    std::string line = text.substr(at, text.find('\n', at) - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::size_t utf8Length(unsigned char c) {
    return c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
}

// The byte offset of character column (1-based) of line.
std::size_t byteOfColumn(const std::string& line, int column) {
    std::size_t at = 0;
    for (int c = 1; c < column && at < line.size(); ++c) at += utf8Length(line[at]);
    return std::min(at, line.size());
}

int columnOfByte(const std::string& line, std::size_t byte) {
    int column = 1;
    for (std::size_t at = 0; at < byte && at < line.size(); at += utf8Length(line[at])) ++column;
    return column;
}

// The byte of the publisher's line that stands where byte `target` of the
// guard's form of it stands. The guard writes a character the TOML reader
// mishandles as \uXXXX, puts a backslash before a literal text's '\' and '"',
// and writes a literal text's quotes as '"'; everything else is the same.
std::size_t originalByte(const std::string& original, const std::string& parsed,
                         std::size_t target) {
    std::size_t i = 0, j = 0;
    while (j < target && i < original.size() && j < parsed.size()) {
        const unsigned char o = static_cast<unsigned char>(original[i]);
        if (original[i] == parsed[j]) {
            ++i, ++j;
        } else if (parsed[j] == '\\' && j + 1 < parsed.size() && parsed[j + 1] == 'u' &&
                   o >= 0x80) {
            j += 6;
            i += utf8Length(o);
        } else if (parsed[j] == '\\') {
            ++j;
        } else {
            ++i, ++j;
        }
    }
    return i;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Where a quote opens a text: where a key or value begins, as for the
// reader (after '=', '[', ',', '{', '.' or at the start of the line).
bool opensText(const std::string& line, std::size_t at) {
    std::size_t k = at;
    while (k > 0 && isBlank(line[k - 1])) --k;
    return k == 0 || std::string("=[,{.").find(line[k - 1]) != std::string::npos;
}

// The byte offset of a quote on line that opens a one-line text which does
// not end there, or npos. Stops at a comment and at a three-quote text.
std::size_t unclosedQuote(const std::string& line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '#') return std::string::npos;
        if ((c != '"' && c != '\'') || !opensText(line, i)) continue;
        if (line.compare(i, 3, std::string(3, c)) == 0) return std::string::npos;
        std::size_t k = i + 1;
        while (k < line.size() && line[k] != c) k += (c == '"' && line[k] == '\\') ? 2 : 1;
        if (k >= line.size()) return i;
        i = k;
    }
    return std::string::npos;
}

std::string trimmed(const std::string& s) {
    const std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// "key = value" where the value is a bare word that TOML takes for no
// type: the text it most likely is, quoted; "" otherwise.
std::string unquotedText(const std::string& line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) return "";
    const std::string key = trimmed(line.substr(0, equals));
    std::string value = line.substr(equals + 1);
    value = trimmed(value.substr(0, value.find(" #")));
    if (key.empty() || value.empty()) return "";
    const unsigned char first = static_cast<unsigned char>(value[0]);
    if (std::string("\"'[{+-").find(value[0]) != std::string::npos ||
        (first >= '0' && first <= '9'))
        return "";
    if (value == "true" || value == "false" || value == "inf" || value == "nan") return "";
    return key + " = \"" + value + "\"";
}

std::string likelyCause(const std::string& line, const std::string& description) {
    if (description.find("escape sequence") != std::string::npos)
        return "a backslash in a \"...\" text begins an escape: write \\\\ for a backslash, or "
               "put the text in '...' quotes, where a backslash stands for itself";
    if (const std::size_t quote = unclosedQuote(line); quote != std::string::npos)
        return std::string("the ") + line[quote] + " at column " +
               std::to_string(columnOfByte(line, quote)) +
               " opens a text that does not end on this line: close it with " + line[quote];
    if (const std::string text = unquotedText(line); !text.empty())
        return "a text without quotes: write " + text;
    if (description.find("redefine") != std::string::npos)
        return "a key or a [table] given twice: give each once, and write [[files]] and "
               "[[menu.shortcuts]] with two brackets, once per file or shortcut";
    if (description.find("expected a comment or whitespace") != std::string::npos)
        return "more follows the value on this line: one key = value per line, and a comment "
               "begins with #";
    if (description.find("table header") != std::string::npos)
        return "a [table] header ends in ] on its own line";
    return "";
}

// Damerau-Levenshtein distance (adjacent swaps count one), for short keys.
int editDistance(const std::string& a, const std::string& b) {
    const std::size_t n = a.size(), m = b.size();
    std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
    for (std::size_t i = 0; i <= n; ++i) d[i][0] = static_cast<int>(i);
    for (std::size_t j = 0; j <= m; ++j) d[0][j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= n; ++i) {
        for (std::size_t j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[n][m];
}

// True when text is well-formed UTF-8 (shortest forms, no surrogates).
bool isUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t n = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xF4 ? utf8Length(c) : 0;
        if (n == 0 || i + n > text.size()) return false;
        uint32_t code = n == 1 ? c : c & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if ((n == 3 && code < 0x800) || (n == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += n;
    }
    return true;
}

}  // namespace

std::string encodingProblem(const std::string& text) {
    const bool bom = text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0;
    const bool wide = text.size() >= 2 && (text[0] == '\0') != (text[1] == '\0');
    if (bom || wide)
        return "the manifest is UTF-16 text, which kpack does not read: save the manifest as "
               "UTF-8";
    std::string utf8;
    if (!isUtf8(text) && gbkToUtf8(text, &utf8))
        return "the manifest is not UTF-8 text (it reads as GBK): save the manifest as UTF-8";
    return "";
}

std::string syntaxErrorMessage(const std::string& original, const std::string& parsed, int line,
                               int column, const std::string& description) {
    const std::string originalLine = lineAt(original, line);
    const std::string parsedLine = lineAt(parsed, line);
    const std::size_t byte =
        originalByte(originalLine, parsedLine, byteOfColumn(parsedLine, column));
    std::string message =
        "column " + std::to_string(columnOfByte(originalLine, byte)) + ": " + description;
    if (const std::string cause = likelyCause(originalLine, description); !cause.empty())
        message += "; likely cause: " + cause;
    return message;
}

std::string nearestKey(const std::string& key, std::initializer_list<const char*> known) {
    const int allowed = key.size() <= 4 ? 1 : 2;
    std::string best;
    int bestDistance = allowed + 1;
    for (const char* k : known) {
        const int distance = editDistance(key, k);
        if (distance < bestDistance) {
            best = k;
            bestDistance = distance;
        }
    }
    return best;
}

std::string controlEscapeAt(const std::string& original, const std::string& parsed, int line,
                            int column) {
    const std::string parsedLine = lineAt(parsed, line);
    std::size_t at = 0;
    for (int i = 1; i < line; ++i) at = original.find('\n', at) + 1;
    at += originalByte(lineAt(original, line), parsedLine, byteOfColumn(parsedLine, column));
    if (at >= original.size() || original[at] != '"') return "";
    const bool multiLine = original.compare(at, 3, "\"\"\"") == 0;
    for (std::size_t i = at + (multiLine ? 3 : 1); i < original.size(); ++i) {
        const char c = original[i];
        if (c == '"' && (!multiLine || original.compare(i, 3, "\"\"\"") == 0)) return "";
        if (c == '\n' && !multiLine) return "";
        if (c != '\\' || i + 1 >= original.size()) continue;
        if (std::string("btnfre").find(original[i + 1]) != std::string::npos)
            return original.substr(i, 2);
        ++i;  // the escaped character, a backslash or a quote among them
    }
    return "";
}

std::string escapeMeaning(const std::string& escape) {
    switch (escape.size() == 2 ? escape[1] : '\0') {
        case 't':
            return "a tab";
        case 'n':
            return "a line break";
        case 'r':
            return "a carriage return";
        case 'b':
            return "a backspace";
        case 'f':
            return "a form feed";
        default:
            return "an escape character";
    }
}

}  // namespace kestrova::kpack
