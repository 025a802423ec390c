// e2e_driver: drives a Windows program through its windows, from a script.
//
//   e2e_driver [--shots FOLDER] [--boxes FILE] [--windows FILE] [-D NAME=VALUE]... SCRIPT
//
// Exit code 0 when every step passed, 1 when one failed, 2 when the command
// line or the script is wrong (then nothing was started).
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "driver.h"
#include "output.h"
#include "script.h"
#include "text.h"

namespace {

using namespace kestrova::e2e;

constexpr int kUsageError = 2;

bool readFile(const std::wstring& path, std::string& content) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0) {
        content.append(buffer, got);
    }
    CloseHandle(file);
    return ok;
}

int usage(const std::string& problem) {
    printLine("e2e_driver: " + problem);
    printLine(
        "usage: e2e_driver [--shots FOLDER] [--boxes FILE] [--windows FILE] [-D NAME=VALUE]... "
        "SCRIPT");
    return kUsageError;
}

}  // namespace

// wmain (linked with -municode): the arguments arrive as UTF-16, so paths
// and definitions keep their Chinese characters whatever the code page.
int wmain(int argc, wchar_t** argv) {
    // Places, sizes and pixels in the screen's own pixels at any display
    // density, as the setup (which is aware of it) sees them.
    SetProcessDPIAware();
    std::vector<std::wstring> args(argv + 1, argv + argc);

    std::wstring shots, boxLog, windowLog, scriptPath;
    std::map<std::string, std::string> defines;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        bool hasValue = i + 1 < args.size();
        if (arg == L"--shots" && hasValue) {
            shots = args[++i];
        } else if (arg == L"--boxes" && hasValue) {
            boxLog = args[++i];
        } else if (arg == L"--windows" && hasValue) {
            windowLog = args[++i];
        } else if (arg == L"-D" && hasValue) {
            std::string definition = narrow(args[++i]);
            size_t equals = definition.find('=');
            if (equals == std::string::npos || equals == 0) {
                return usage("-D needs NAME=VALUE, not \"" + definition + "\"");
            }
            defines[definition.substr(0, equals)] = definition.substr(equals + 1);
        } else if (scriptPath.empty() && !arg.empty() && arg[0] != L'-') {
            scriptPath = arg;
        } else {
            return usage("unexpected argument \"" + narrow(arg) + "\"");
        }
    }
    if (scriptPath.empty()) return usage("no script given");

    std::string content;
    if (!readFile(scriptPath, content)) return usage("cannot read " + narrow(scriptPath));
    std::vector<Step> steps;
    std::string error;
    if (!parseScript(content, defines, steps, error)) {
        printLine("e2e_driver: " + narrow(scriptPath) + ": " + error);
        return kUsageError;
    }
    if (!shots.empty()) CreateDirectoryW(shots.c_str(), nullptr);

    Driver driver(shots, boxLog, windowLog);
    return driver.run(steps) ? 0 : 1;
}
