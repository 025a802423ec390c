// What the uninstaller decides about each log line, with logs proven to be
// the setup's own and without: the guard's protections, the allow-list,
// short names and shell folders moved where they should not be; and the
// digests that prove the logs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/log_digest.h"
#include "engine/uninstaller_registration.h"
#include "fake_platform.h"
#include "state/bounded_text.h"
#include "uninstaller/removal_guard.h"
#include "uninstaller/uninstall_paths.h"
#include "uninstaller/uninstall_plan.h"
#include "uninstaller/uninstall_proof.h"

namespace kestrova {
namespace {

using test::FakePlatform;

const char kEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo";
const char kUserShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kPrograms[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";

enum Decision { Remove, Refuse, Keep };

struct Line {
    const char* text;
    bool folder;
    Decision proven, unproven;
    const char* longForm = nullptr;          // what is planned, when not text itself
    const char* desktop = nullptr;           // the user's desktop, when moved
    const char* install = "D:\\Apps\\Demo";  // the folder of the file log
};

// The logs of a product installed into line.install, one holding the line,
// with the digests the setup stores when proven.
void writeLogs(FakePlatform& platform, const Line& line, bool proven, UninstallPaths* paths) {
    const std::string fileLog = std::string(line.install) + "\\Demofile.ini";
    ASSERT_TRUE(readUninstallArgument(fileLog.c_str(), paths));
    const std::string entry = std::string(line.text) + "\r\n";
    platform.writeFile(paths->fileLog, line.folder ? "" : entry);
    platform.writeFile(paths->dirLog, line.folder ? entry : "");
    platform.setValue(kHkeyLocalMachine, kEntry, "DisplayName", "Demo");
    if (!proven) return;
    SetupState state;
    copyText(state.productName, "Demo");
    copyText(state.uninstallOption, "1");
    copyText(state.fileLogPath, paths->fileLog);
    copyText(state.dirLogPath, paths->dirLog);
    registerLogDigests(platform, state);
}

Decision decide(const Line& line, bool proven, std::string* planned) {
    FakePlatform platform;
    platform.shortNames = {{"C:\\PROGRA~1", "C:\\Program Files"},
                           {"C:\\ProgramData\\MICROS~1", "C:\\ProgramData\\Microsoft"},
                           {"C:\\ProgramData\\Microsoft\\Windows\\STARTM~1",
                            "C:\\ProgramData\\Microsoft\\Windows\\Start Menu"}};
    platform.setValue(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                      "CommonFilesDir", "C:\\Program Files\\Common Files");
    if (line.desktop) {
        // As Explorer moves it: the shell's answer and the value both.
        platform.desktop = line.desktop;
        platform.setValue(kHkeyCurrentUser, kUserShellFolders, "Desktop", line.desktop);
    }
    UninstallPaths paths;
    writeLogs(platform, line, proven, &paths);
    RemovalGuard guard;
    guardSystemFolders(platform, &guard);
    UninstallPlan plan;
    EXPECT_TRUE(planUninstall(platform, paths, guard, &plan));
    EXPECT_EQ(proven, plan.proven);
    const std::vector<std::string>& list = line.folder ? plan.folders : plan.files;
    if (!list.empty()) *planned = list[0];
    if (plan.skipped == 1) return Refuse;
    if (plan.kept == 1) return Keep;
    EXPECT_EQ(1u, list.size());
    return Remove;
}

TEST(UninstallDecisions, ProvenLogsMeetTheGuardOnlyAndChangedOnesTheAllowListToo) {
    const std::string programs = kPrograms, group = programs + "\\Demo";
    const std::string groupLink = group + "\\App.lnk", groupExe = group + "\\App.exe",
                      groupSubLink = group + "\\sub\\App.lnk", startup = programs + "\\Startup",
                      startupLink = startup + "\\App.lnk", programsLink = programs + "\\App.lnk";
    const Line lines[] = {
        // The product's own places.
        {"D:\\Apps\\Demo\\bin\\app.exe", false, Remove, Remove},
        {"D:\\Apps\\Demo\\bin", true, Remove, Remove},
        {"D:\\Apps\\Demo", true, Remove, Remove},
        {"C:\\Users\\Setup\\Desktop\\App.lnk", false, Remove, Remove},
        {"C:\\Users\\Setup\\Desktop\\APP.LNK", false, Remove, Remove},
        {group.c_str(), true, Remove, Remove},
        {groupLink.c_str(), false, Remove, Remove},
        {startupLink.c_str(), false, Remove, Remove},
        // Elsewhere: only proven logs reach them.
        {"C:\\Users\\bob\\Documents\\secret.txt", false, Remove, Keep},
        {"C:\\Users\\bob\\Documents", true, Remove, Keep},
        {"C:\\Program Files\\Other\\x.exe", false, Remove, Keep},
        {"D:\\Backup\\important.doc", false, Remove, Keep},
        {"D:\\Apps\\Demo2\\a.txt", false, Remove, Keep},
        {"C:\\boot.ini", false, Remove, Keep},
        {"C:\\Users\\Setup\\Desktop\\App.exe", false, Remove, Keep},
        {"C:\\Users\\Setup\\Desktop\\sub\\App.lnk", false, Remove, Keep},
        {"C:\\Users\\Setup\\Desktop\\sub", true, Remove, Keep},
        {groupExe.c_str(), false, Remove, Keep},
        {groupSubLink.c_str(), false, Remove, Keep},
        {programsLink.c_str(), false, Remove, Keep},
        // A log put into a folder that holds a desktop opens nothing of it.
        {"C:\\Users\\x.txt", false, Remove, Keep, nullptr, nullptr, "C:\\Users"},
        // Short names are judged in their long form.
        {"C:\\PROGRA~1\\Other\\x.exe", false, Remove, Keep, "C:\\Program Files\\Other\\x.exe"},
        {"C:\\PROGRA~1", true, Refuse, Refuse},
        {"C:\\PROGRA~1\\Common Files", true, Refuse, Refuse},
        {"C:\\ProgramData\\MICROS~1\\Windows\\STARTM~1\\Programs\\Startup", true, Refuse, Refuse},
        // Protected and sealed whatever the logs.
        {"C:\\WINDOWS\\SYSTEM32\\kernel32.dll", false, Refuse, Refuse},
        {"c:\\windows\\notepad.exe", false, Refuse, Refuse},
        {"C:\\WINDOWS", true, Refuse, Refuse},
        {"C:\\Program Files", true, Refuse, Refuse},
        {"C:\\Program Files (x86)", true, Refuse, Refuse},
        {"C:\\Users\\Setup\\Desktop", true, Refuse, Refuse},
        {programs.c_str(), true, Refuse, Refuse},
        {startup.c_str(), true, Refuse, Refuse},
        // Shapes a setup never writes, which the system would resolve to
        // other places.
        {"C:\\", true, Refuse, Refuse},
        {"C:", true, Refuse, Refuse},
        {"\\\\server\\share\\a.txt", false, Refuse, Refuse},
        {"D:\\Apps\\Demo\\..\\..\\WINDOWS\\win.ini", false, Refuse, Refuse},
        {"D:\\Apps\\Demo\\.\\a.txt", false, Refuse, Refuse},
        {"C:\\WINDOWS.\\win.ini", false, Refuse, Refuse},
        {"D:\\Apps\\Demo \\a.txt", false, Refuse, Refuse},
        {"C:/WINDOWS/win.ini", false, Refuse, Refuse},
        {"D:\\Apps\\Demo\\*.*", false, Refuse, Refuse},
        {"D:\\Apps\\Demo\\a.txt:stream", false, Refuse, Refuse},
        {"D:\\Apps\\Demo\\\\a.txt", false, Refuse, Refuse},
        // A desktop moved onto the drive's root or the Windows folder opens
        // no seal and is no place for shortcuts; one inside the Windows
        // folder opens what lies inside it alone.
        {"C:\\windows\\notepad.exe", false, Refuse, Refuse, nullptr, "C:\\"},
        {"C:\\WINDOWS\\system32\\kernel32.dll", false, Refuse, Refuse, nullptr, "C:\\"},
        {"C:\\App.lnk", false, Remove, Keep, nullptr, "C:\\"},
        {"C:\\windows\\notepad.exe", false, Refuse, Refuse, nullptr, "C:"},
        {"C:\\WINDOWS\\notepad.exe", false, Refuse, Refuse, nullptr, "C:\\WINDOWS"},
        {"C:\\WINDOWS\\App.lnk", false, Refuse, Refuse, nullptr, "C:\\WINDOWS"},
        {"C:\\WINDOWS\\Desktop\\App.lnk", false, Remove, Remove, nullptr, "C:\\WINDOWS\\Desktop"},
        {"C:\\WINDOWS\\Desktop", true, Refuse, Refuse, nullptr, "C:\\WINDOWS\\Desktop"},
        {"C:\\WINDOWS\\DesktopX\\App.lnk", false, Refuse, Refuse, nullptr, "C:\\WINDOWS\\Desktop"},
        {"C:\\WINDOWS\\notepad.exe", false, Refuse, Refuse, nullptr, "C:\\WINDOWS\\Desktop"},
    };
    for (const Line& line : lines) {
        for (bool proven : {true, false}) {
            std::string planned;
            const Decision decision = decide(line, proven, &planned);
            EXPECT_EQ(proven ? line.proven : line.unproven, decision)
                << line.text << (proven ? " (proven)" : " (changed)")
                << (line.desktop ? std::string(", desktop ") + line.desktop : "");
            if (decision == Remove) {
                EXPECT_EQ(line.longForm ? line.longForm : line.text, planned) << line.text;
            }
        }
    }
}

TEST(LogProof, TheStoredDigestsProveTheLogsByteForByte) {
    FakePlatform platform;
    const Line line = {"D:\\Apps\\Demo\\a.txt", false, Remove, Remove};
    UninstallPaths paths;
    writeLogs(platform, line, true, &paths);
    std::string stored;
    ASSERT_TRUE(platform.getValue(kHkeyLocalMachine, kEntry, kFileLogDigestValue, &stored));
    EXPECT_EQ("0c214cbbfeceae950bb24885b87fa392735d39ae89d759efb026110caf40b09b", stored);

    auto proven = [&] {
        std::vector<char> fileLog, dirLog;
        EXPECT_TRUE(readLogBytes(platform, paths.fileLog, &fileLog));
        readLogBytes(platform, paths.dirLog, &dirLog);
        return logsProven(platform, "Demo", fileLog, dirLog);
    };
    EXPECT_TRUE(proven());
    // One byte changed in either log.
    platform.writeFile(paths.fileLog, "D:\\Apps\\Demo\\b.txt\r\n");
    EXPECT_FALSE(proven());
    platform.writeFile(paths.fileLog, "D:\\Apps\\Demo\\a.txt\r\n");
    platform.writeFile(paths.dirLog, " ");
    EXPECT_FALSE(proven());
    platform.writeFile(paths.dirLog, "");
    EXPECT_TRUE(proven());
    // Values an older setup never wrote, and no entry at all.
    platform.deleteKey(kHkeyLocalMachine, kEntry);
    platform.setValue(kHkeyLocalMachine, kEntry, kFileLogDigestValue, stored);
    EXPECT_FALSE(proven());
    platform.deleteKey(kHkeyLocalMachine, kEntry);
    EXPECT_FALSE(proven());
}

}  // namespace
}  // namespace kestrova
