#include "script.h"

#include <cstdlib>
#include <cstring>

namespace kestrova::e2e {
namespace {

// What each verb accepts. Keys in kTextKeys may be matched by substring;
// keys in kNumberKeys must be numbers.
struct VerbRule {
    const char* verb;
    const char* keys;  // space-separated
    bool takesWord;    // one argument without a key
};

constexpr VerbRule kVerbs[] = {
    {"start", "exe args command cwd", false},
    {"wait-window", "class title id text scope timeout", false},
    {"wait-gone", "class title id text scope timeout", false},
    {"read", "id class", false},
    {"expect-text", "id class text timeout", false},
    {"expect-state", "id class enabled checked visible timeout", false},
    {"rect", "id class x y w h", false},
    {"click", "id class text mouse timeout", false},
    {"set-text", "id class text", false},
    {"key", "name id class", false},
    {"expect-pixels", "id class x y w h rgb min max tolerance timeout", false},
    {"expect-layout", "timeout", false},
    {"close", "", false},
    {"front", "", false},
    {"answer-box", "title text button timeout", false},
    {"screenshot", "name settle sync", true},
    {"sleep", "ms", false},
    {"wait-exit", "code timeout", false},
    {"kill", "", false},
    {"mark", "name", true},
    {"expect-elapsed", "since min max", false},
    {"copy-files", "from to count", false},
    {"delete-files", "from count", false},
    {"shot-windows", "", false},
    {"hold-file", "path", false},
    {"expect-version", "path field text", false},
};

constexpr const char* kTextKeys[] = {"title", "text"};
constexpr const char* kNumberKeys[] = {
    "id",      "timeout", "code",   "x",    "y",   "w",   "h",     "enabled",   "checked",
    "visible", "ms",      "settle", "sync", "min", "max", "count", "tolerance", "mouse"};
// Number keys that take a fraction (seconds).
constexpr const char* kFractionKeys[] = {"timeout", "min", "max"};

bool listed(const char* key, const char* const* list, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (key == std::string(list[i])) return true;
    }
    return false;
}

bool keyAllowed(const VerbRule& rule, const std::string& key) {
    std::string keys = std::string(" ") + rule.keys + " ";
    return keys.find(" " + key + " ") != std::string::npos;
}

bool isNumber(const std::string& value, bool fraction) {
    if (value.empty()) return false;
    char* end = nullptr;
    if (fraction) {
        std::strtod(value.c_str(), &end);
    } else {
        std::strtol(value.c_str(), &end, 10);
    }
    return *end == '\0';
}

// Replaces every ${NAME}; false with the name when one is not defined.
bool substitute(std::string& value, const std::map<std::string, std::string>& defines,
                std::string& missing) {
    std::string out;
    size_t pos = 0;
    while (pos < value.size()) {
        size_t start = value.find("${", pos);
        if (start == std::string::npos) break;
        size_t end = value.find('}', start);
        if (end == std::string::npos) break;
        out.append(value, pos, start - pos);
        std::string name = value.substr(start + 2, end - start - 2);
        auto found = defines.find(name);
        if (found == defines.end()) {
            missing = name;
            return false;
        }
        out += found->second;
        pos = end + 1;
    }
    out.append(value, pos, std::string::npos);
    value = out;
    return true;
}

// Splits a line into tokens at blanks outside double quotes; quotes are
// removed and \" and \\ inside them unescaped. False on an open quote.
bool tokenize(const std::string& line, std::vector<std::string>& tokens) {
    std::string token;
    bool inToken = false, quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                token += line[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                token += c;
            }
        } else if (c == ' ' || c == '\t') {
            if (inToken) tokens.push_back(token);
            token.clear();
            inToken = false;
        } else {
            inToken = true;
            if (c == '"') {
                quoted = true;
            } else {
                token += c;
            }
        }
    }
    if (quoted) return false;
    if (inToken) tokens.push_back(token);
    return true;
}

bool parseLine(const std::string& line, const std::map<std::string, std::string>& defines,
               Step& step, std::string& error) {
    std::vector<std::string> tokens;
    if (!tokenize(line, tokens)) {
        error = "unterminated quote";
        return false;
    }
    step.verb = tokens[0];
    const VerbRule* rule = nullptr;
    for (const VerbRule& candidate : kVerbs) {
        if (step.verb == candidate.verb) rule = &candidate;
    }
    if (!rule) {
        error = "unknown step \"" + step.verb + "\"";
        return false;
    }
    for (size_t i = 1; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        size_t equals = token.find('=');
        if (equals == std::string::npos || equals == 0) {
            if (!rule->takesWord || !step.words.empty()) {
                error = "unexpected \"" + token + "\" (arguments are key=value)";
                return false;
            }
            step.words.push_back(token);
            continue;
        }
        Arg arg;
        arg.substring = token[equals - 1] == '~';
        arg.key = token.substr(0, arg.substring ? equals - 1 : equals);
        arg.value = token.substr(equals + 1);
        if (!keyAllowed(*rule, arg.key)) {
            error = step.verb + " takes no \"" + arg.key + "\"";
            return false;
        }
        if (arg.substring && !listed(arg.key.c_str(), kTextKeys, std::size(kTextKeys))) {
            error = "\"" + arg.key + "~=\": only title and text match by substring";
            return false;
        }
        std::string missing;
        if (!substitute(arg.value, defines, missing)) {
            error = "${" + missing + "} is not defined (pass -D " + missing + "=...)";
            return false;
        }
        if (listed(arg.key.c_str(), kNumberKeys, std::size(kNumberKeys)) &&
            !isNumber(arg.value,
                      listed(arg.key.c_str(), kFractionKeys, std::size(kFractionKeys)))) {
            error = "\"" + arg.key + "\" needs a number, not \"" + arg.value + "\"";
            return false;
        }
        if (arg.key == "rgb" &&
            (arg.value.size() != 6 ||
             arg.value.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)) {
            error = "\"rgb\" needs six hex digits RRGGBB, not \"" + arg.value + "\"";
            return false;
        }
        if (step.has(arg.key.c_str())) {
            error = "\"" + arg.key + "\" given twice";
            return false;
        }
        step.args.push_back(arg);
    }
    return true;
}

// The arguments a step cannot do without.
bool complete(const Step& step, std::string& error) {
    const std::string& verb = step.verb;
    const char* needed = nullptr;
    if (verb == "start" && !step.has("exe")) needed = "exe=";
    if (verb == "expect-pixels" && (!step.has("x") || !step.has("y") || !step.has("rgb")))
        needed = "x=, y= and rgb=";
    if (verb == "click" && !step.has("id") && !step.has("text")) needed = "id= or text=";
    if (verb == "set-text" && (!step.has("id") || !step.has("text"))) needed = "id= and text=";
    if (verb == "key" && !step.has("name")) needed = "name=";
    if (verb == "answer-box" && !step.has("button")) needed = "button=";
    if (verb == "sleep" && !step.has("ms")) needed = "ms=";
    if (verb == "screenshot" && step.words.empty() && !step.has("name")) needed = "a name";
    if (verb == "expect-text" && !step.has("text")) needed = "text= or text~=";
    if (verb == "mark" && step.words.empty() && !step.has("name")) needed = "a name";
    if (verb == "expect-elapsed" && !step.has("since")) needed = "since=";
    if (verb == "copy-files" && (!step.has("from") || !step.has("to"))) needed = "from= and to=";
    if (verb == "delete-files" && !step.has("from")) needed = "from=";
    if (verb == "hold-file" && !step.has("path")) needed = "path=";
    if (needed) error = verb + " needs " + needed;
    return needed == nullptr;
}

}  // namespace

const Arg* Step::find(const char* key) const {
    for (const Arg& arg : args) {
        if (arg.key == key) return &arg;
    }
    return nullptr;
}

std::string Step::text(const char* key, const std::string& fallback) const {
    const Arg* arg = find(key);
    return arg ? arg->value : fallback;
}

TextMatch Step::match(const char* key) const {
    TextMatch match;
    if (const Arg* arg = find(key)) {
        match.present = true;
        match.substring = arg->substring;
        match.value = widen(arg->value);
    }
    return match;
}

long Step::number(const char* key, long fallback) const {
    const Arg* arg = find(key);
    return arg ? std::strtol(arg->value.c_str(), nullptr, 10) : fallback;
}

double Step::seconds(const char* key, double fallback) const {
    const Arg* arg = find(key);
    return arg ? std::strtod(arg->value.c_str(), nullptr) : fallback;
}

bool parseScript(const std::string& content, const std::map<std::string, std::string>& defines,
                 std::vector<Step>& steps, std::string& error) {
    size_t pos = 0;
    int lineNumber = 0;
    while (pos <= content.size()) {
        size_t end = content.find('\n', pos);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (lineNumber == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        Step step;
        step.line = lineNumber;
        step.source = line.substr(first);
        std::string what;
        if (!parseLine(step.source, defines, step, what) || !complete(step, what)) {
            error = "line " + std::to_string(lineNumber) + ": " + what;
            return false;
        }
        steps.push_back(step);
    }
    if (steps.empty()) {
        error = "no steps";
        return false;
    }
    return true;
}

}  // namespace kestrova::e2e
