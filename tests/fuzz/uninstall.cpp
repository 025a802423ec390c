// The uninstaller's plan, guard and removal on a model of Windows' file
// system, from any file log, directory log and shell-folder values: every
// line of the logs is first made to exist (through junctions and short
// names where it leads there), beside system files, other products' files,
// a user's documents and junctions in the install folder. After the run,
// nothing outside the install folder and the shortcut places may have been
// touched unless the logs were proven, and nothing sealed ever.
//
// Input: a control byte, then fields separated by NUL bytes: the file log,
// the directory log, the desktop (the shell's answer), the user's "Desktop"
// shell-folder value, "Common Programs", "Common Startup", "Common
// Desktop"; an empty or missing field keeps the usual value. Control bits:
// 0-1 the install folder, 2 the setup's digests stored, 3 digests of other
// logs stored instead.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/gbk_text.h"
#include "engine/log_digest.h"
#include "engine/uninstaller_registration.h"
#include "state/bounded_text.h"
#include "uninstaller/removal_guard.h"
#include "uninstaller/uninstall_paths.h"
#include "uninstaller/uninstall_plan.h"
#include "uninstaller/uninstall_run.h"
#include "windows_model.h"

using namespace kestrova;

namespace {

const char kShellFolders[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kUserShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo";
const char kPrograms[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";

// The most log lines made to exist: enough for any shape, quick per input.
constexpr int kLinesMade = 64;

class NoProgress : public UninstallProgress {
  public:
    void onStep(int, int, const char*) override {}
};

// What stands on the modelled system before the uninstaller runs.
void buildSystem(fuzz::WindowsModel& model, const std::string& install) {
    for (const char* file :
         {"C:\\WINDOWS\\notepad.exe", "C:\\WINDOWS\\SYSTEM32\\kernel32.dll", "C:\\boot.ini",
          "C:\\Program Files\\Other\\x.exe", "C:\\Users\\bob\\Documents\\secret.txt",
          "C:\\Users\\Setup\\Desktop\\other.lnk", "D:\\Backup\\important.doc",
          "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Other\\other.lnk",
          "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\other.lnk"})
        model.make(file, false, "x");
    for (const char* folder : {"C:\\Program Files\\Common Files", "C:\\Program Files (x86)",
                               "C:\\Users\\Public\\Desktop", "C:\\WINDOWS\\Desktop", "D:\\Empty"})
        model.make(folder, true);
    model.makeJunction("C:\\Documents and Settings", "C:\\Users");
    model.make(install, true);
    // Junctions a user could make in an install folder anyone may change.
    model.makeJunction(install + "\\cache", "C:\\WINDOWS\\SYSTEM32");
    model.makeJunction(install + "\\docs", "C:\\Users\\bob\\Documents");
    model.makeJunction(install + "\\up", "C:\\");
    model.make(install + "\\bin\\app.exe", false, "x");
}

// Each line of a log made to exist, as a file or a folder.
void makeLines(fuzz::WindowsModel& model, const std::string& log, bool folders) {
    std::size_t at = 0;
    for (int n = 0; n < kLinesMade && at < log.size(); ++n) {
        std::size_t end = log.find('\n', at);
        if (end == std::string::npos) end = log.size();
        std::string line = log.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        model.make(line, folders, "x");
        at = end + 1;
    }
}

// path is folder or lies inside it: whole characters, whole parts. Real
// paths of the model are compared byte for byte.
bool within(const std::string& path, const std::string& folder) {
    if (folder.empty() || path.compare(0, folder.size(), folder) != 0) return false;
    if (path.size() == folder.size()) return true;
    const char* end = path.data() + path.size();
    const char* p = path.data();
    while (p < path.data() + folder.size()) p += gbkCharLength(p, end);
    return p == path.data() + folder.size() && (*p == '\\' || folder.back() == '\\');
}

bool strictlyWithin(const std::string& path, const std::string& folder) {
    return path.size() != folder.size() && within(path, folder);
}

// One name directly in folder.
bool directlyIn(const std::string& path, const std::string& folder) {
    if (!strictlyWithin(path, folder)) return false;
    const std::size_t start = folder.size() + (folder.back() == '\\' ? 0 : 1);
    const char* end = path.data() + path.size();
    for (const char* p = path.data() + start; p < end; p += gbkCharLength(p, end))
        if (*p == '\\') return false;
    return true;
}

// The folder that holds path: up to its last backslash, whole characters.
std::string parentOf(const std::string& path) {
    std::size_t cut = 0;
    const char* end = path.data() + path.size();
    for (const char* p = path.data(); p < end; p += gbkCharLength(p, end))
        if (*p == '\\') cut = static_cast<std::size_t>(p - path.data());
    return path.substr(0, cut);
}

bool isShortcut(const std::string& path) {
    if (path.size() < 4) return false;
    std::string suffix = path.substr(path.size() - 4);
    for (char& c : suffix)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return suffix == ".lnk";
}

// A stop the fuzzer reports, with what was touched.
[[noreturn]] void violation(const char* what, const std::string& path) {
    std::fprintf(stderr, "uninstall fuzz: %s: %s\n", what, path.c_str());
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const uint8_t control = data[0];
    std::vector<std::string> fields(1);
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == 0 && fields.size() < 7) {
            fields.emplace_back();
        } else {
            fields.back() += static_cast<char>(data[i]);
        }
    }
    fields.resize(7);
    auto field = [&](int n, const std::string& usual) {
        return fields[n].empty() ? usual : fields[n];
    };
    const std::string& fileLog = fields[0];
    const std::string& dirLog = fields[1];

    fuzz::WindowsModel model;
    static const char* const kInstall[] = {"D:\\Apps\\Demo", "C:\\Program Files\\Demo",
                                           "C:\\PROGRA~1\\Demo", "D:\\Apps\\Demo\\docs"};
    const std::string install = kInstall[control & 3];
    buildSystem(model, "D:\\Apps\\Demo");
    buildSystem(model, "C:\\Program Files\\Demo");
    const std::string fileLogPath = install + "\\Demofile.ini";
    const std::string dirLogPath = install + "\\Demodir.ini";
    model.make(fileLogPath, false, fileLog);
    model.make(dirLogPath, false, dirLog);
    makeLines(model, fileLog, false);
    makeLines(model, dirLog, true);

    model.desktop = field(2, "C:\\Users\\Setup\\Desktop");
    const std::string programs = field(4, kPrograms);
    const std::string startup = field(5, std::string(kPrograms) + "\\Startup");
    const std::string shellValues[] = {field(3, model.desktop), programs, startup,
                                       field(6, "C:\\Users\\Public\\Desktop")};
    model.setValue(kHkeyCurrentUser, kUserShellFolders, "Desktop", shellValues[0]);
    model.setValue(kHkeyLocalMachine, kShellFolders, "Common Programs", programs);
    model.setValue(kHkeyLocalMachine, kShellFolders, "Common Startup", startup);
    model.setValue(kHkeyLocalMachine, kShellFolders, "Common Desktop", shellValues[3]);
    model.setValue(kHkeyLocalMachine, kCurrentVersion, "ProgramFilesDir", "C:\\Program Files");
    model.setValue(kHkeyLocalMachine, kCurrentVersion, "CommonFilesDir",
                   "C:\\Program Files\\Common Files");
    model.setValue(kHkeyLocalMachine, kEntry, "DisplayName", "Demo");

    UninstallPaths paths;
    if (!readUninstallArgument(fileLogPath.c_str(), &paths)) __builtin_trap();
    const bool stored = (control & 4) != 0;
    if (stored) {
        SetupState state;
        copyText(state.productName, "Demo");
        copyText(state.uninstallOption, "1");
        copyText(state.fileLogPath, paths.fileLog);
        copyText(state.dirLogPath, paths.dirLog);
        registerLogDigests(model, state);
    } else if (control & 8) {
        // Digests of other logs: what an edit after the install looks like.
        for (const char* value : {kFileLogDigestValue, kDirLogDigestValue})
            model.setValue(kHkeyLocalMachine, kEntry, value, std::string(64, '0'));
    }

    RemovalGuard guard;
    guardSystemFolders(model, &guard);
    UninstallPlan plan;
    if (!planUninstall(model, paths, guard, &plan)) return 0;
    // The logs read are the logs whose digests were stored (or not).
    if (plan.proven != stored) violation("proof", stored ? "stored digests refused" : "accepted");
    NoProgress none;
    runUninstall(model, paths, plan, none);

    // The places as the setup makes them, by their real paths: reached
    // without a junction, as the uninstaller must reach what it removes.
    auto real = [&](const std::string& path) { return model.realPath(path, false); };
    const std::string sealed[] = {real("C:\\WINDOWS"), real("C:\\WINDOWS\\SYSTEM32")};
    std::vector<std::string> shellFolders = {real(model.desktop)};
    for (const std::string& value : shellValues) shellFolders.push_back(real(value));
    const std::string desktopReal = shellFolders[0], programsReal = real(programs);
    const std::size_t slash = startup.rfind('\\');
    const std::string startupReal =
        slash == std::string::npos ? std::string() : real(programs + startup.substr(slash));
    const std::string installReal = real(install);
    // Never removed: these folders themselves.
    std::vector<std::string> protectedFolders = {real("C:\\Program Files"),
                                                 real("C:\\Program Files (x86)"),
                                                 real("C:\\Program Files\\Common Files")};
    protectedFolders.insert(protectedFolders.end(), shellFolders.begin(), shellFolders.end());

    for (const std::string& path : model.touched) {
        for (const std::string& folder : protectedFolders)
            if (path == folder) violation("a protected folder", path);
        for (const std::string& folder : sealed) {
            if (folder.empty() || !within(path, folder)) continue;
            // Only a desktop or Start menu folder strictly inside opens it.
            bool opened = false;
            for (const std::string& open : shellFolders)
                if (!open.empty() && strictlyWithin(open, folder) && strictlyWithin(path, open))
                    opened = true;
            if (!opened) violation("sealed", path);
        }
        if (plan.proven) continue;
        const bool shortcutPlace =
            isShortcut(path) && (directlyIn(path, desktopReal) || directlyIn(path, startupReal));
        const bool programGroup = directlyIn(path, programsReal) ||
                                  (isShortcut(path) && directlyIn(parentOf(path), programsReal));
        if (!within(path, installReal) && !shortcutPlace && !programGroup)
            violation("outside the product's places without proven logs", path);
    }
    return 0;
}
