#include "text.h"

#include <windows.h>

namespace kestrova::e2e {

std::wstring widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
}

std::string narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length,
                        nullptr, nullptr);
    return utf8;
}

std::wstring withoutMnemonics(const std::wstring& text) {
    std::wstring plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain;
}

bool TextMatch::matches(const std::wstring& text) const {
    if (!present) return true;
    for (const std::wstring& candidate : {text, withoutMnemonics(text)}) {
        if (substring ? candidate.find(value) != std::wstring::npos : candidate == value) {
            return true;
        }
    }
    return false;
}

std::string TextMatch::describe(const char* key) const {
    return std::string(key) + (substring ? "~=" : "=") + quoted(value);
}

std::string quoted(const std::wstring& text) {
    std::string out = "\"";
    for (char c : narrow(text)) {
        switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

}  // namespace kestrova::e2e
