#pragma once
// Texts in the driver: scripts and output are UTF-8, windows are UTF-16.
#include <string>

namespace kestrova::e2e {

// UTF-8 to UTF-16 and back; invalid input is replaced, never dropped.
std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& wide);

// A button caption without its mnemonic markers: "完成(&F)" -> "完成(F)",
// "&&" -> "&".
std::wstring withoutMnemonics(const std::wstring& text);

// One expected text from a script: exact (key=value) or substring
// (key~=value). An absent match accepts every text.
struct TextMatch {
    bool present = false;
    bool substring = false;
    std::wstring value;

    // Compares with the text as shown and with its mnemonic markers removed,
    // so "下一步(&N) >" matches both that and "下一步(N) >".
    bool matches(const std::wstring& text) const;
    // "text=..." or "text~=..." for messages, with the given key.
    std::string describe(const char* key) const;
};

// A text in double quotes for a log line, its line breaks and tabs written
// as \n, \r and \t so that one record stays on one line. Backslashes stay
// as they are: paths read as the user sees them.
std::string quoted(const std::wstring& text);

}  // namespace kestrova::e2e
