#include "output.h"

#include <windows.h>

#include "text.h"

namespace kestrova::e2e {

void printLine(const std::string& utf8) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0, written = 0;
    std::string line = utf8 + "\n";
    if (GetConsoleMode(out, &mode)) {
        // A console shows UTF-16, whatever its code page.
        std::wstring wide = widen(line);
        WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        // A pipe or file gets the bytes unchanged: the runner reads UTF-8.
        WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}

bool writeWholeFile(const std::wstring& path, const std::string& bytes, std::string& error) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot create the file (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    if (!ok) error = "cannot write the file";
    return ok;
}

}  // namespace kestrova::e2e
