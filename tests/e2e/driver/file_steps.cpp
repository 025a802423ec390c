// Steps on time and files: marks and elapsed time between steps, and
// copies of the program's files taken while it runs (its temporary files
// are gone once it ends).
#include <algorithm>
#include <cstdio>
#include <vector>

#include "driver.h"

namespace kestrova::e2e {
namespace {

std::wstring expandVariables(const std::wstring& text) {
    DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (size == 0) return text;
    std::wstring expanded(size, L'\0');
    ExpandEnvironmentStringsW(text.c_str(), &expanded[0], size);
    expanded.resize(size - 1);
    return expanded;
}

std::string formatSeconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", value);
    return text;
}

}  // namespace

bool Driver::mark(const Step& step) {
    std::string name = step.words.empty() ? step.text("name") : step.words[0];
    marks_[name] = GetTickCount64();
    return true;
}

bool Driver::expectElapsed(const Step& step) {
    auto found = marks_.find(step.text("since"));
    if (found == marks_.end())
        return fail("no mark \"" + step.text("since") + "\" was set before this step");
    double elapsed = static_cast<double>(GetTickCount64() - found->second) / 1000.0;
    result_ = formatSeconds(elapsed) + " since " + found->first;
    if (step.has("min") && elapsed < step.seconds("min", 0))
        return fail(result_ + ", expected at least " + formatSeconds(step.seconds("min", 0)));
    if (step.has("max") && elapsed > step.seconds("max", 0))
        return fail(result_ + ", expected at most " + formatSeconds(step.seconds("max", 0)));
    return true;
}

namespace {

// The files (not folders) that match from=, a path whose last part may
// hold * and ?, sorted; environment variables such as %TEMP% are those the
// program was started with. *folder receives the pattern's folder.
std::vector<std::wstring> matchingFiles(const Step& step, std::wstring* folder) {
    std::wstring pattern = expandVariables(widen(step.text("from")));
    size_t slash = pattern.find_last_of(L"\\/");
    *folder = slash == std::wstring::npos ? L"" : pattern.substr(0, slash + 1);
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

bool Driver::fileStep(const Step& step, bool copy) {
    std::wstring folder;
    std::vector<std::wstring> names = matchingFiles(step, &folder);
    std::wstring target = expandVariables(widen(step.text("to")));
    if (copy) CreateDirectoryW(target.c_str(), nullptr);
    std::string list;
    for (const std::wstring& name : names) {
        std::wstring from = folder + name, copyName = target + L"\\" + name;
        if (copy ? !CopyFileW(from.c_str(), copyName.c_str(), FALSE) : !DeleteFileW(from.c_str())) {
            return fail("cannot " + std::string(copy ? "copy " : "delete ") + narrow(from) +
                        (copy ? " to " + narrow(copyName) : "") + " (error " +
                        std::to_string(GetLastError()) + ")");
        }
        list += (list.empty() ? "" : " ") + narrow(name);
    }
    result_ = std::to_string(names.size()) + " files of " + narrow(folder) + ": " + list;
    if (step.has("count") && static_cast<long>(names.size()) != step.number("count", 0)) {
        return fail(std::to_string(names.size()) + " files match " + step.text("from") +
                    ", expected " + step.text("count") + (list.empty() ? "" : ": " + list));
    }
    return true;
}

bool Driver::holdFile(const Step& step) {
    // Opened without FILE_SHARE_DELETE or FILE_SHARE_WRITE, as a program
    // that has a document open: nobody can delete the file until the
    // driver ends.
    std::wstring path = expandVariables(widen(step.text("path")));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return fail("cannot open " + narrow(path) + " (error " + std::to_string(GetLastError()) +
                    ")");
    heldFiles_.push_back(file);
    result_ = "holding " + narrow(path);
    return true;
}

bool Driver::expectVersion(const Step& step) {
    // Read the way Explorer's Details tab and signing tools read them: the
    // version resource through the version library, the Chinese (PRC)
    // Unicode string table.
    const std::wstring path = expandVariables(widen(step.text("path")));
    const std::string field = step.text("field");
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<BYTE> data(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, data.data()))
        return fail(narrow(path) + " has no version resource (error " +
                    std::to_string(GetLastError()) + ")");
    std::wstring seen;
    void* value = nullptr;
    UINT length = 0;
    if (field == "fixed") {
        if (!VerQueryValueW(data.data(), L"\\", &value, &length) ||
            length < sizeof(VS_FIXEDFILEINFO))
            return fail(narrow(path) + " has no fixed version information");
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        seen = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
               std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
               std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
               std::to_wstring(LOWORD(fixed->dwFileVersionLS));
    } else {
        const std::wstring query = L"\\StringFileInfo\\080404b0\\" + widen(field);
        if (!VerQueryValueW(data.data(), query.c_str(), &value, &length))
            return fail(narrow(path) + " has no version string " + field);
        seen = static_cast<const wchar_t*>(value);
    }
    result_ = field + " " + quoted(seen);
    const TextMatch expected = step.match("text");
    if (!expected.matches(seen))
        return fail(field + " is " + quoted(seen) + ", expected " + expected.describe("text"));
    return true;
}

}  // namespace kestrova::e2e
