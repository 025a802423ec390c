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

    std::string run(int* line) {
        if (s_.compare(0, 3, "\xEF\xBB\xBF") == 0) i_ = 3;
        std::string problem;
        while (i_ < s_.size() && (problem = step()).empty()) {
        }
        *line = problem.empty() ? 0 : line_;
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
        ++i_;
        return "";
    }

    // A string from its opening quotes to its closing ones. Single-line
    // strings also end at a line end (the parser reports that itself).
    std::string string(char quote, bool multiLine) {
        i_ += multiLine ? 3 : 1;
        while (i_ < s_.size()) {
            const char c = s_[i_];
            if (c == quote && (!multiLine || at(multiLine && quote == '"' ? "\"\"\"" : "'''"))) {
                // A closing run may carry up to two quotes of the content.
                while (i_ < s_.size() && s_[i_] == quote) ++i_;
                return "";
            }
            if (c == '\n' && !multiLine) return "";
            if (c == '\\' && quote == '"') {
                if (std::string p = take(); !p.empty()) return p;
                if (i_ >= s_.size()) return "";
            }
            if (std::string p = take(); !p.empty()) return p;
        }
        return "";
    }

    std::string step() {
        const char c = s_[i_];
        if (c == '#') {
            last_ = '\n';
            while (i_ < s_.size() && s_[i_] != '\n')
                if (std::string p = take(); !p.empty()) return p;
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
};

}  // namespace

std::string tomlInputProblem(const std::string& text, int* line) {
    return Scanner(text).run(line);
}

}  // namespace kestrova::kpack
