#include "registry_rules.h"

#include <cstring>

#include "gbk_codec.h"
#include "script_rules.h"

namespace kestrova::kpack {
namespace {

// The roots the setup's import knows, as a key line names them.
constexpr const char* kRoots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                  "HKEY_USERS", "HKEY_CURRENT_CONFIG"};

// Short names that reg.exe and PowerShell take but the setup does not.
struct ShortRoot {
    const char* name;
    const char* root;
};
constexpr ShortRoot kShortRoots[] = {{"HKCR", "HKEY_CLASSES_ROOT"},
                                     {"HKCU", "HKEY_CURRENT_USER"},
                                     {"HKLM", "HKEY_LOCAL_MACHINE"},
                                     {"HKU", "HKEY_USERS"},
                                     {"HKCC", "HKEY_CURRENT_CONFIG"}};

constexpr char kSkipsKey[] = "; the setup would skip it and the values below it";

bool isLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

// Where the last character of text starts: GBK is read character by
// character, as the setup's import reads it, so a double-byte character
// whose second byte is ']' or '\' stays one character.
std::size_t lastCharacterStart(const std::string& text) {
    std::size_t last = 0;
    for (std::size_t i = 0; i < text.size(); i += isLeadByte(text[i]) ? 2 : 1) last = i;
    return last;
}

// The first single-byte backslash of text at or after from, or npos.
std::size_t findBackslash(const std::string& text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); i += isLeadByte(text[i]) ? 2 : 1)
        if (text[i] == '\\') return i;
    return std::string::npos;
}

// The first of regedit's escapes ("\\" or "\"") in text, or "".
std::string firstEscape(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); i += isLeadByte(text[i]) ? 2 : 1)
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"'))
            return text.substr(i, 2);
    return "";
}

std::string escapeProblem(const std::string& escape, const char* part) {
    if (escape == "\\\\")
        return std::string("the line's ") + part +
               " holds \\\\, which regedit reads as one backslash; the setup stores it byte for "
               "byte, both backslashes: write one \\ (or build with --allow-reg-escapes if two "
               "are meant)";
    return std::string("the line's ") + part +
           " holds \\\", which regedit reads as a quote; the setup stores the backslash too: "
           "write the quote alone, which the setup keeps as it is (or build with "
           "--allow-reg-escapes if the backslash is meant)";
}

std::string keyLineProblem(const std::string& text) {
    if (text.size() > 1 && text[1] == '-')
        return "the line deletes a key, as regedit reads [-...]; the setup deletes nothing and "
               "would skip it and the values below it: remove the line";
    const std::size_t last = lastCharacterStart(text);
    if (text[last] != ']' || last == 0)
        return "the key line does not end in ]" + std::string(kSkipsKey);
    const std::string inner = text.substr(1, last - 1);
    const std::size_t slash = findBackslash(inner, 0);
    const std::string root = inner.substr(0, slash);
    for (const char* known : kRoots) {
        if (root != known) continue;
        if (slash == std::string::npos || slash + 1 == inner.size())
            return "the key line names no key below " + root + std::string(kSkipsKey) +
                   ": write a key such as [" + root + "\\Software\\Maker\\Product]";
        return "";
    }
    for (const ShortRoot& s : kShortRoots)
        if (root == s.name)
            return "the key line names the root " + root + ", which the setup does not know" +
                   kSkipsKey + ": write it in full, " + s.root;
    return "the key line names the root " + displayGbk(root) + ", which the setup does not know" +
           kSkipsKey +
           ": write one of HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, "
           "HKEY_USERS and HKEY_CURRENT_CONFIG";
}

std::string valueLineProblem(const std::string& text, bool allowEscapes) {
    // A quote is never the second byte of a GBK character: a byte search
    // finds the name's end as the import does.
    const std::size_t quote = text.find('"', 1);
    if (quote == std::string::npos)
        return "the value line's name has no closing quote; the setup would skip the line";
    const std::string rest = text.substr(quote + 1);
    const char* const onlyStrings = "; the setup writes only string values and would skip the line";
    if (startsWith(rest, "=dword:") || startsWith(rest, "=qword:"))
        return "the line sets a number value (" + rest.substr(1, 5) + ")" + onlyStrings +
               ": write the number as a string, \"name\"=\"1\", if the program reads it as one";
    if (startsWith(rest, "=hex"))
        return std::string("the line sets a binary or other typed value (hex)") + onlyStrings;
    if (rest == "=-")
        return "the line deletes a value, as regedit reads \"name\"=-; the setup deletes nothing "
               "and would skip it: remove the line";
    if (!startsWith(rest, "=\""))
        return "the line is not a value line the setup reads (\"name\"=\"data\", with nothing "
               "around the =); it would skip it";
    const std::size_t last = lastCharacterStart(text);
    if (last < quote + 3 || text[last] != '"')
        return "the value line does not end in a quote; the setup drops the line's last "
               "character, which would cut the data short: end the data with \"";
    if (allowEscapes) return "";
    if (const std::string e = firstEscape(text.substr(1, quote - 1)); !e.empty())
        return escapeProblem(e, "name");
    if (const std::string e = firstEscape(text.substr(quote + 3, last - quote - 3)); !e.empty())
        return escapeProblem(e, "data");
    return "";
}

// The problem of one line (without its CR LF) as the setup reads it, or "".
// *key tells whether a key line came before; it is set by a key line.
std::string contentProblem(const std::string& text, bool allowEscapes, bool* key) {
    if (text.empty() || text[0] == ';' || text == "REGEDIT4" ||
        text == "Windows Registry Editor Version 5.00")
        return "";  // skipped by regedit and by the setup alike
    if (text[0] == '[') {
        *key = true;
        return keyLineProblem(text);
    }
    if (startsWith(text, "@="))
        return "the line sets the key's default value as regedit writes it (@=); the setup "
               "would skip it: write \"\"=\"data\" for the default value";
    if (text[0] != '"')
        return "the line is neither a key line [ROOT\\key] nor a value line \"name\"=\"data\"; "
               "the setup would skip it";
    if (!*key)
        return "the value line comes before any key line; the setup would skip it: put a key "
               "line such as [HKEY_CURRENT_USER\\Software\\Maker\\Product] above it";
    return valueLineProblem(text, allowEscapes);
}

}  // namespace

std::string registryDataProblem(const std::string& bytes, int* line, bool allowEscapes) {
    *line = 1;
    if (startsWith(bytes, "\xFF\xFE") || startsWith(bytes, "\xFE\xFF") ||
        (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0'))
        return "the file is UTF-16 text, as regedit exports it; the setup reads GBK text and "
               "would apply none of it: save it as GBK with CR LF line ends (regedit's export "
               "as a Win9x/NT4 registration file, REGEDIT4)";
    if (startsWith(bytes, "\xEF\xBB\xBF"))
        return "the file begins with a UTF-8 byte order mark; the setup reads GBK text and "
               "would not read the first line as written: save the file as GBK, without the "
               "mark";
    std::size_t at = 0;
    *line = 0;
    bool key = false;
    while (at < bytes.size()) {
        ++*line;
        const std::size_t lf = bytes.find('\n', at);
        const std::size_t end = lf == std::string::npos ? bytes.size() : lf + 1;
        const std::size_t length = end - at;
        if (lf == std::string::npos || length < 2 || bytes[lf - 1] != '\r')
            return lf == std::string::npos
                       ? "the last line does not end in CR LF; the setup would not apply it"
                       : "the line ends in LF without CR: save the file with CR LF line ends";
        if (static_cast<int>(length) > kSecondPassLineLimit)
            return "the line is " + std::to_string(length) +
                   " bytes with its CR LF; the setup reads at most " +
                   std::to_string(kSecondPassLineLimit);
        const std::string text = bytes.substr(at, length - 2);
        if (text.find('\0') != std::string::npos) return "the line holds a NUL character";
        std::string utf8, gbk;
        if (!gbkToUtf8(text, &utf8))
            return utf8ToGbk(text, &gbk)
                       ? "the line is UTF-8 text, not GBK: save the file as GBK (code page 936)"
                       : "the line is not GBK text";
        if (std::string problem = contentProblem(text, allowEscapes, &key); !problem.empty())
            return problem;
        at = end;
    }
    return "";
}

}  // namespace kestrova::kpack
