#include "toml_guard.h"

#include <cstdio>

namespace kestrova::kpack {
namespace {

bool isControl(unsigned char c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F;
}

std::string hexByte(unsigned char c) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", c);
    return text;
}

// The UTF-8 character that starts at text[i] (its bytes, up to four).
std::string characterAt(const std::string& text, std::size_t i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return text.substr(i, n);
}

class Scanner {
  public:
    explicit Scanner(const std::string& text) : s_(text) {}

    std::string run(int* line, std::string* safe) {
        if (s_.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            i_ = 3;
            out_ = s_.substr(0, 3);
        }
        std::string problem;
        while (i_ < s_.size() && (problem = step()).empty()) {
        }
        *line = problem.empty() ? 0 : line_;
        *safe = problem.empty() ? out_ : std::string();
        return problem;
    }

  private:
    bool at(const char* token) const {
        return s_.compare(i_, std::char_traits<char>::length(token), token) == 0;
    }

    // Checks and consumes one byte; "" or the problem.
    std::string take() {
        const unsigned char c = static_cast<unsigned char>(s_[i_]);
        if (isControl(c)) return "the control character " + hexByte(c) + " is not allowed";
        if (c == '\n') ++line_;
        out_ += s_[i_++];
        return "";
    }

    // The code of the UTF-8 character at i_ if it is one that toml++ 3.3.0's
    // test for non-ASCII blanks cannot take (U+00A1 to U+0499, U+2C5E to
    // U+3057 but U+3000, U+FB26 to U+FEFE: an "unreachable" branch of its
    // table), else 0. The parser applies that test wherever it looks for a
    // blank: after a backslash in a basic string, and in a bare token of a
    // line this pass reads otherwise than the parser does.
    unsigned riskyAt() const {
        const unsigned char c = static_cast<unsigned char>(s_[i_]);
        if (c < 0xC2 || c >= 0xF0) return 0;
        const std::size_t n = c >= 0xE0 ? 3 : 2;
        if (i_ + n > s_.size()) return 0;
        unsigned code = c & (n == 2 ? 0x1F : 0x0F);
        for (std::size_t k = 1; k < n; ++k) {
            const unsigned char next = static_cast<unsigned char>(s_[i_ + k]);
            if ((next & 0xC0) != 0x80) return 0;  // not UTF-8: the parser refuses it
            code = (code << 6) | (next & 0x3F);
        }
        if (n == 3 && code < 0x800) return 0;  // an over-long form, refused likewise
        const bool risky = (code >= 0xA1 && code <= 0x499) ||
                           (code >= 0x2C5E && code <= 0x3057 && code != 0x3000) ||
                           (code >= 0xFB26 && code <= 0xFEFE);
        return risky ? code : 0;
    }

    // Writes the risky character at i_ (its code) as its \uXXXX escape.
    void escapeRisky(unsigned code) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04X", code);
        out_ += escape;
        i_ += code < 0x800 ? 2 : 3;
    }

    // A string from its opening quotes to its closing ones. Single-line
    // strings also end at a line end (the parser reports that itself). No
    // risky character reaches the parser as it stands: in a basic string it
    // becomes its \uXXXX escape, and a literal string is handed over as the
    // basic string of the same text (quotes and backslashes escaped).
    std::string string(char quote, bool multiLine) {
        const bool literal = quote == '\'';
        const char* const delimiter = multiLine ? "\"\"\"" : "\"";
        i_ += multiLine ? 3 : 1;
        out_ += delimiter;
        while (i_ < s_.size()) {
            const char c = s_[i_];
            if (c == quote && (!multiLine || at(literal ? "'''" : "\"\"\""))) {
                // A closing run may carry up to two quotes of the content.
                // Further quotes follow the string, where the parser refuses
                // them: they are left to it as they stand, not taken into
                // the text (a literal string would read as another valid one).
                std::size_t run = 1;
                while (multiLine && run < 5 && i_ + run < s_.size() && s_[i_ + run] == quote) ++run;
                if (multiLine) out_.append(run - 3, quote);
                out_ += delimiter;
                i_ += run;
                return "";
            }
            if (c == '\n' && !multiLine) return "";
            if (literal && (c == '\\' || c == '"')) {
                out_ += '\\';
                out_ += s_[i_++];
                continue;
            }
            if (c == '\\' && !literal) {
                if (std::string p = take(); !p.empty()) return p;
                if (i_ >= s_.size()) return "";
                // TOML has no escape of these; the parser would test them
                // as blanks.
                if (riskyAt())
                    return "the character '" + characterAt(s_, i_) +
                           "' cannot follow a backslash; write \\\\ for a backslash of the text";
            }
            if (const unsigned code = riskyAt()) {
                escapeRisky(code);
                continue;
            }
            if (std::string p = take(); !p.empty()) return p;
        }
        return "";
    }

    std::string step() {
        const char c = s_[i_];
        if (c == '#') {
            // A comment means nothing: its risky characters are escaped
            // too, in case the parser does not read it as one.
            last_ = '\n';
            while (i_ < s_.size() && s_[i_] != '\n') {
                if (const unsigned code = riskyAt())
                    escapeRisky(code);
                else if (std::string p = take(); !p.empty())
                    return p;
            }
            return "";
        }
        // A quote opens a string only where a key or a value begins; the
        // parser reads one anywhere else (4"...") as part of the token
        // before it, and so must this pass.
        if ((c == '"' || c == '\'') && opensString()) {
            last_ = '"';
            return c == '"' ? string('"', at("\"\"\"")) : string('\'', at("'''"));
        }
        if (static_cast<unsigned char>(c) >= 0x80)
            return "the character '" + characterAt(s_, i_) +
                   "' stands outside quotes; texts are written in double quotes, and "
                   "commas and full stops between values must be ASCII";
        if (c == '\n')
            last_ = '\n';
        else if (c != ' ' && c != '\t' && c != '\r')
            last_ = c;
        return take();
    }

    bool opensString() const {
        return last_ == '\n' || last_ == '=' || last_ == '[' || last_ == ',' || last_ == '{' ||
               last_ == '.';
    }

    const std::string& s_;
    char last_ = '\n';  // the last character outside strings that was not a blank
    std::size_t i_ = 0;
    int line_ = 1;
    std::string out_;  // the text for the parser
};

}  // namespace

std::string tomlInputProblem(const std::string& text, int* line, std::string* safe) {
    return Scanner(text).run(line, safe);
}

}  // namespace kestrova::kpack
