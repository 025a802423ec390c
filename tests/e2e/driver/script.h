#pragma once
// The driver's step files: one step per line, a verb and its arguments.
//
//   # a comment
//   wait-window class=#32770 title~="安装" timeout=10
//   click id=12324
//   screenshot welcome
//
// Arguments are key=value (exact) or key~=value (substring, for texts and
// titles); a value may be double-quoted, with \" and \\ inside. ${NAME} in a
// value is replaced by a definition given on the command line. The whole
// file is checked before the first step runs, so a typo never leaves a
// half-driven program behind.
#include <map>
#include <string>
#include <vector>

#include "text.h"

namespace kestrova::e2e {

struct Arg {
    std::string key;
    bool substring = false;
    std::string value;
};

struct Step {
    int line = 0;
    std::string verb;
    std::vector<Arg> args;
    std::vector<std::string> words;  // arguments without a key (a screenshot name)
    std::string source;              // the line as written, for messages

    const Arg* find(const char* key) const;
    bool has(const char* key) const { return find(key) != nullptr; }
    std::string text(const char* key, const std::string& fallback = "") const;
    TextMatch match(const char* key) const;
    // Numbers were checked by the parser; absent ones give the fallback.
    long number(const char* key, long fallback) const;
    double seconds(const char* key, double fallback) const;
};

// Parses and checks a whole file. False with "line N: what is wrong" in
// error on the first bad line (unknown verb or key, bad number, undefined
// ${NAME}, unterminated quote).
bool parseScript(const std::string& content, const std::map<std::string, std::string>& defines,
                 std::vector<Step>& steps, std::string& error);

}  // namespace kestrova::e2e
