// The uninstaller's decisions: its command line, which paths it may touch,
// how it reads the logs, and a whole install and uninstall on the fake.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/install_run.h"
#include "engine/uninstall_log.h"
#include "fake_platform.h"
#include "gbk.h"
#include "package_builder.h"
#include "resources/texts.h"
#include "uninstaller/removal_guard.h"
#include "uninstaller/uninstall_messages.h"
#include "uninstaller/uninstall_paths.h"
#include "uninstaller/uninstall_plan.h"
#include "uninstaller/uninstall_run.h"

namespace kestrova {
namespace {

namespace fs = std::filesystem;
using test::FakePlatform;
using test::gbk;
using test::PackageBuilder;

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

TEST(UninstallArgument, TakesTheWholeTailAsTheFileLogsPath) {
    // As the setup registers it: unquoted, spaces and Chinese included. The
    // second byte of 乗 is '\', which must not split the product's name.
    const std::string product = gbk(u8"星图 演示乗");
    const std::string command = "C:\\WINDOWS\\Kestrova-UnInstall.exe C:\\Program Files\\" +
                                product + "\\" + product + "file.ini";
    UninstallPaths paths;
    ASSERT_TRUE(readUninstallArgument(commandTail(command.c_str()), &paths));
    EXPECT_EQ("C:\\Program Files\\" + product + "\\" + product + "file.ini", paths.fileLog);
    EXPECT_EQ("C:\\Program Files\\" + product + "\\" + product + "dir.ini", paths.dirLog);
    EXPECT_EQ("C:\\Program Files\\" + product, std::string(paths.installFolder));
    EXPECT_EQ(product, paths.productName);

    // A quoted program name, quotes around the path and blanks around it.
    ASSERT_TRUE(readUninstallArgument(
        commandTail("\"C:\\Win Dir\\Kestrova-UnInstall.exe\"  \"D:\\App\\AppFILE.INI\" "), &paths));
    EXPECT_EQ(std::string("D:\\App\\AppFILE.INI"), paths.fileLog);
    EXPECT_EQ(std::string("App"), paths.productName);
    EXPECT_EQ(std::string("D:\\App\\Appdir.ini"), paths.dirLog);
    // "/S" before the path asks for an unattended uninstall; a path that
    // merely begins with it is a path.
    const char* tail = commandTail("Kestrova-UnInstall.exe /S  D:\\App\\Appfile.ini");
    ASSERT_TRUE(takeSilentSwitch(&tail));
    EXPECT_STREQ("D:\\App\\Appfile.ini", tail);
    tail = "/Sx\\Appfile.ini";
    EXPECT_FALSE(takeSilentSwitch(&tail));
    // After the path, as deployment tools append it to the registered
    // command: only after a whole file log's path and a blank.
    ASSERT_TRUE(readArgumentWithTrailingSwitch("C:\\My Apps\\Appfile.ini /S \r\n", &paths));
    EXPECT_EQ(std::string("C:\\My Apps\\Appfile.ini"), paths.fileLog);
    for (const char* bad :
         {"C:\\My Apps\\Appfile.ini", "C:\\App\\Appfile.ini/S", "C:\\App\\Appfile.ini /s",
          "C:\\App\\Appfile.ini /S /S", " /S", "C:\\App\\App.ini /S"}) {
        EXPECT_FALSE(readArgumentWithTrailingSwitch(bad, &paths)) << bad;
        EXPECT_EQ('\0', paths.fileLog[0]) << bad;
    }
    // A log in a drive root keeps the root's backslash as its folder.
    ASSERT_TRUE(readUninstallArgument("D:\\Appfile.ini", &paths));
    EXPECT_EQ(std::string("D:\\"), paths.installFolder);

    for (const char* bad : {"", "   ", "Appfile.ini", "App\\Appfile.ini", "C:Appfile.ini",
                            "\\\\server\\share\\Appfile.ini", "C:\\App\\file.ini",
                            "C:\\App\\App.ini", "C:\\App\\Appfile.ini.bak"}) {
        EXPECT_FALSE(readUninstallArgument(bad, &paths)) << bad;
        EXPECT_EQ('\0', paths.fileLog[0]) << bad;
    }
    // A path that would not fit the setup's texts is refused, not cut.
    const std::string longPath = "C:\\" + std::string(kTextSize, 'a') + "\\Appfile.ini";
    EXPECT_FALSE(readUninstallArgument(longPath.c_str(), &paths));
}

TEST(LogReading, KeepsWholePathsAndSkipsWhatIsNotOne) {
    const std::string longLine(kFileLogEntryLimit + 1, 'x');
    const std::string fitting = "C:\\" + std::string(kFileLogEntryLimit - 3, 'y');
    const std::string log = "C:\\App\\a.txt\r\n<NoneApp>\r\n\r\n" + longLine + "\r\n" + fitting +
                            "\r\n" + std::string("C:\\App\\nul\0.txt\r\n", 17) +
                            "C:\\App\\b.txt\nC:\\App\\cut";
    std::vector<std::string> entries;
    int skipped = 0;
    splitLogEntries(std::vector<char>(log.begin(), log.end()), kFileLogEntryLimit, &entries,
                    &skipped);
    EXPECT_EQ((std::vector<std::string>{"C:\\App\\a.txt", fitting, "C:\\App\\b.txt"}), entries);
    // The long line, the NUL, the cut last line.
    EXPECT_EQ(3, skipped);
}

// Every file and folder under the fake's drives, for before/after
// comparisons.
std::set<std::string> snapshot(const FakePlatform& platform) {
    std::set<std::string> entries;
    const fs::path root(platform.root());
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it)
        entries.insert(it->path().lexically_relative(root).generic_u8string() +
                       (it->is_directory() ? "/" : ""));
    return entries;
}

// Records the order of removals and holds some files open.
class RemovingPlatform : public FakePlatform {
  public:
    std::set<std::string> inUse;
    std::vector<std::string> removals;
    HandleRemoval removeThroughHandle(const char* path, bool folder) override {
        removals.push_back((folder ? "folder " : "file ") + std::string(path));
        if (inUse.count(path)) return HandleRemoval::Failed;
        return FakePlatform::removeThroughHandle(path, folder);
    }
};

class Steps : public UninstallProgress {
  public:
    std::vector<std::string> texts;
    int total = 0;
    void onStep(int step, int count, const char* text) override {
        EXPECT_EQ(static_cast<int>(texts.size()), step);
        total = count;
        texts.push_back(text);
    }
};

class RoundTripTest : public ::testing::Test {
  protected:
    void SetUp() override {
        builder.productName = "Demo";
        builder.installDir = "C:\\App";
        builder.directories = {"[InstallDir]", "[InstallDir]\\bin", "[InstallDir]\\data",
                               "[Start Menu]\\Demo"};
        builder.programGroup = "Demo";
        builder.addFile("[InstallDir]\\bin\\app.exe", "program");
        builder.addNoneApp();
        builder.addFile("[InstallDir]\\readme.txt", "read me");
        builder.addFile("[InstallDir]\\data\\kept.dat", "user data", '4');  // not logged
        builder.addFile("[Windows Directory]\\shared.dll", "shared");       // not logged
        builder.menuLines = {
            PackageBuilder::menuLine("App", "[InstallDir]\\bin\\app.exe", true, false)};
        // The Start menu exists on every system; the setup makes only the
        // group inside it.
        platform.makeFolders("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs");
        before = snapshot(platform);
    }

    void install() {
        platform.writeFile("C:\\Downloads\\setup.exe", builder.build());
        platform.writeFile("C:\\TEMP\\~temp1.ini", builder.script());
        std::strcpy(state.packagePath, "C:\\Downloads\\setup.exe");
        std::strcpy(state.scriptPath, "C:\\TEMP\\~temp1.ini");
        std::strcpy(state.productName, "Demo");
        std::strcpy(state.installDir, "C:\\App");
        std::strcpy(state.uninstallOption, "1");
        state.packageOffset = builder.recordBase();
        platform.makeFolders("C:\\App");  // as the wizard does before the run
        ASSERT_TRUE(openUninstallLogs(platform, platform.user(nullptr), state));
        installRun(platform, platform.user(nullptr), state);
        platform.deleteFile("C:\\TEMP\\~temp1.ini");
        platform.deleteFile("C:\\Downloads\\setup.exe");
        platform.removals.clear();
    }

    // The uninstaller's work as its window runs it, from the registered
    // command. False when the file log could not be read.
    bool uninstall() {
        std::string command;
        const std::string key = std::string(kUninstallKey) + "\\Demo";
        if (!platform.getValue(kHkeyLocalMachine, key, "UninstallString", &command)) return false;
        EXPECT_TRUE(readUninstallArgument(commandTail(command.c_str()), &paths));
        RemovalGuard guard;
        guardSystemFolders(platform, &guard);
        if (!planUninstall(platform, paths, guard, &plan)) return false;
        outcome = runUninstall(platform, paths, plan, steps);
        EXPECT_EQ(uninstallSteps(plan), steps.total);
        return true;
    }

    RemovingPlatform platform;
    SetupState state;
    PackageBuilder builder;
    std::set<std::string> before;
    UninstallPaths paths;
    UninstallPlan plan;
    UninstallOutcome outcome;
    Steps steps;
};

TEST_F(RoundTripTest, RemovesWhatTheSetupLoggedInOrderAndKeepsTheRest) {
    install();
    ASSERT_TRUE(platform.exists("C:\\Users\\Setup\\Desktop\\App.lnk"));
    ASSERT_TRUE(uninstall());

    const std::string group = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Demo";
    const std::string uninstallLink = group + "\\" + gbk(u8"卸载") + "Demo.lnk";
    const std::vector<std::string> expected = {
        "file C:\\App\\bin\\app.exe", "file C:\\App\\readme.txt", "file " + group + "\\App.lnk",
        "file C:\\Users\\Setup\\Desktop\\App.lnk", "file " + uninstallLink,
        // Deepest first; the install folder and data stay while they hold
        // something.
        "folder " + group, "folder C:\\App\\data", "folder C:\\App\\bin", "folder C:\\App",
        "file C:\\App\\Demodir.ini", "file C:\\App\\Demofile.ini",
        "folder C:\\App",  // once more without the logs
    };
    EXPECT_EQ(expected, platform.removals);
    EXPECT_TRUE(plan.proven);
    EXPECT_EQ(0, uninstallExitCode(plan, outcome));
    EXPECT_EQ(0, plan.skipped);
    EXPECT_FALSE(platform.keyExists(kHkeyLocalMachine, std::string(kUninstallKey) + "\\Demo"));
    EXPECT_TRUE(platform.keyExists(kHkeyLocalMachine, kUninstallKey));

    // What is left beyond the state before: the file the setup did not log,
    // its folders, and the file in the Windows folder.
    std::set<std::string> after = snapshot(platform), added;
    for (const std::string& entry : after)
        if (!before.count(entry)) added.insert(entry);
    EXPECT_EQ((std::set<std::string>{"C/App/", "C/App/data/", "C/App/data/kept.dat",
                                     "C/WINDOWS/shared.dll"}),
              added);
    for (const std::string& entry : before) EXPECT_TRUE(after.count(entry)) << entry;

    // A second run finds no file log and changes nothing.
    platform.removals.clear();
    EXPECT_FALSE(uninstall());
    EXPECT_TRUE(platform.removals.empty());
    EXPECT_EQ(after, snapshot(platform));
}

TEST_F(RoundTripTest, AFileInUseIsReportedAndEverythingElseGoes) {
    install();
    platform.inUse.insert("C:\\App\\bin\\app.exe");
    ASSERT_TRUE(uninstall());
    EXPECT_EQ(std::vector<std::string>{"C:\\App\\bin\\app.exe"}, outcome.notRemoved);
    EXPECT_TRUE(platform.exists("C:\\App\\bin\\app.exe"));
    EXPECT_FALSE(platform.exists("C:\\App\\readme.txt"));
    EXPECT_FALSE(platform.exists("C:\\App\\Demofile.ini"));
    EXPECT_FALSE(platform.exists("C:\\Users\\Setup\\Desktop\\App.lnk"));
    EXPECT_FALSE(platform.keyExists(kHkeyLocalMachine, std::string(kUninstallKey) + "\\Demo"));

    EXPECT_EQ(2, uninstallExitCode(plan, outcome));
    const std::string message = finalMessage("Demo", plan, outcome);
    EXPECT_EQ(std::string("Demo") + texts::kUninstallDoneAfter + "\r\n\r\n" +
                  texts::kUninstallNotRemoved + "\r\nC:\\App\\bin\\app.exe",
              message);
}

// A host symbolic link, the fake's reparse point, at link to target. False
// where the host makes none (Wine's CreateSymbolicLink only claims to).
bool makeLink(FakePlatform& platform, const std::string& target, const std::string& link) {
    std::error_code ec;
    fs::create_directory_symlink(platform.hostPath(target), platform.hostPath(link), ec);
    return fs::is_symlink(platform.hostPath(link), ec);
}

TEST_F(RoundTripTest, EditedLogsAndLinksRemoveNothingOutsideTheProduct) {
    install();
    // Beside the product an edited log names a system file, another
    // product's file, a user's document, a file on another drive, and a
    // decoy reached through a link made inside the install folder.
    const std::map<std::string, std::string> others = {
        {"C:\\WINDOWS\\SYSTEM32\\kernel32.dll", "system"},
        {"C:\\Program Files\\Other\\other.exe", "another product"},
        {"C:\\Users\\bob\\Documents\\secret.txt", "secret"},
        {"D:\\Backup\\important.doc", "important"},
        {"C:\\Decoys\\a.txt", "decoy"}};
    for (const auto& [path, bytes] : others) platform.writeFile(path, bytes);
    if (!makeLink(platform, "C:\\Decoys", "C:\\App\\cache")) GTEST_SKIP() << "no symbolic links";
    platform.writeFile(
        "C:\\App\\Demofile.ini",
        "C:\\WINDOWS\\SYSTEM32\\kernel32.dll\r\nC:\\\r\n"
        "C:\\App\\..\\Program Files\\Other\\other.exe\r\n"
        "C:\\Program Files\\Other\\other.exe\r\nC:\\Users\\bob\\Documents\\secret.txt\r\n"
        "D:\\Backup\\important.doc\r\nC:\\App\\cache\\a.txt\r\nC:\\App\\readme.txt\r\n");
    platform.writeFile("C:\\App\\Demodir.ini",
                       "C:\\WINDOWS\r\nC:\\Program Files\r\nC:\\\r\nC:\\Users\\bob\\Documents\r\n");
    ASSERT_TRUE(uninstall());

    EXPECT_FALSE(plan.proven);
    for (const auto& [path, bytes] : others) EXPECT_EQ(bytes, platform.readFile(path)) << path;
    EXPECT_TRUE(platform.isFolder("C:\\Users\\bob\\Documents"));
    EXPECT_FALSE(platform.exists("C:\\App\\readme.txt"));
    for (const std::string& removal : platform.removals)
        EXPECT_EQ(0u, removal.substr(removal.find(' ') + 1).find("C:\\App")) << removal;
    EXPECT_EQ(2, uninstallExitCode(plan, outcome));
    // Refused by the guard: kernel32.dll, C:\, the ".." line and the three
    // folders; kept for the changed logs: the other three files and the
    // document folder; the decoy is named.
    EXPECT_EQ("Demo" + std::string(texts::kUninstallDoneAfter) + "\r\n\r\n" +
                  texts::kUninstallRedirected + "\r\nC:\\App\\cache\\a.txt\r\n\r\n" +
                  texts::kUninstallKeptBefore + "4" + texts::kUninstallKeptAfter + "\r\n\r\n" +
                  texts::kUninstallSkippedBefore + "6" + texts::kUninstallSkippedAfter,
              finalMessage("Demo", plan, outcome));
}

TEST_F(RoundTripTest, ALinkInPlaceOfALoggedFolderLeadsNowhere) {
    install();
    // The logs stay the setup's own; the folder they name becomes a link to
    // a folder holding a file of the same name.
    platform.writeFile("C:\\Decoys\\app.exe", "decoy");
    fs::remove_all(platform.hostPath("C:\\App\\bin"));
    if (!makeLink(platform, "C:\\Decoys", "C:\\App\\bin")) GTEST_SKIP() << "no symbolic links";
    ASSERT_TRUE(uninstall());
    EXPECT_TRUE(plan.proven);
    EXPECT_EQ("decoy", platform.readFile("C:\\Decoys\\app.exe"));
    EXPECT_EQ((std::vector<std::string>{"C:\\App\\bin\\app.exe", "C:\\App\\bin"}),
              outcome.redirected);
    EXPECT_FALSE(platform.exists("C:\\App\\readme.txt"));
    EXPECT_EQ(2, uninstallExitCode(plan, outcome));
}

}  // namespace
}  // namespace kestrova
