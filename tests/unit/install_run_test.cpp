// The install run over the fake platform, on packages laid out byte for
// byte by the test package builder.
#include "engine/install_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>

#include "engine/font_install.h"
#include "engine/uninstall_log.h"
#include "fake_platform.h"
#include "package_builder.h"
#include "resources/resource_ids.h"
#include "resources/texts.h"

using kestrova::test::FakePlatform;
using kestrova::test::PackageBuilder;
namespace k = kestrova;

namespace {

const char kPackage[] = "C:\\Downloads\\setup.exe";
const char kScript[] = "C:\\TEMP\\~temp1.ini";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kStartMenu[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
k::WindowRef const kPage = reinterpret_cast<k::WindowRef>(0x1234);

// A fake whose processes can act on the run, e.g. press Cancel while a
// program runs.
class ScriptedPlatform : public FakePlatform {
  public:
    std::function<void(const std::string&)> onProcess;
    bool runProcess(const char* commandLine, int show, uint32_t* exitCode) override {
        if (onProcess) onProcess(commandLine);
        return FakePlatform::runProcess(commandLine, show, exitCode);
    }
};

class InstallRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        builder.installDir = "C:\\App";
        builder.directories = {"[InstallDir]", "[InstallDir]\\bin", "[InstallDir]\\bin\\sub"};
    }

    // Lays the package and its script out as start-up leaves them, opens the
    // logs as the progress page does, and runs.
    void run() {
        platform.writeFile(kPackage, builder.build());
        platform.writeFile(kScript, builder.script());
        std::strcpy(state.packagePath, kPackage);
        std::strcpy(state.scriptPath, kScript);
        std::strcpy(state.productName, builder.productName.c_str());
        std::strcpy(state.installDir, builder.installDir.c_str());
        state.uninstallOption[0] = builder.uninstallOption[0];
        state.packageOffset = builder.recordBase();
        platform.makeFolders(state.installDir);
        ASSERT_TRUE(k::openUninstallLogs(platform, platform.user(kPage), state));
        k::installRun(platform, platform.user(kPage), state);
    }

    std::string fileLog() { return platform.readFile("C:\\App\\Demofile.ini"); }
    std::string dirLog() { return platform.readFile("C:\\App\\Demodir.ini"); }
    std::vector<std::string> statuses() {
        std::vector<std::string> out;
        for (const auto& s : platform.statusTexts) {
            EXPECT_EQ(kPage, s.dialog);
            EXPECT_EQ(IDC_STATUS_LINE, s.controlId);
            out.push_back(s.text);
        }
        return out;
    }
    int recordCount() {
        int n = 0;
        for (const auto& r : builder.records) n += r.noneApp ? 0 : 1;
        return n;
    }

    ScriptedPlatform platform;
    k::SetupState state;
    PackageBuilder builder;
};

TEST_F(InstallRunTest, CompleteRunCopiesLogsCountsAndRegisters) {
    builder.addFile("[InstallDir]\\bin\\a.txt", "alpha");
    builder.addNoneApp();
    builder.addFile("[InstallDir]\\b.dat      ", std::string(5000, 'b'));
    builder.addFile("[InstallDir]\\quiet.dat", "q", '4');
    run();

    EXPECT_EQ("alpha", platform.readFile("C:\\App\\bin\\a.txt"));
    EXPECT_EQ(std::string(5000, 'b'), platform.readFile("C:\\App\\b.dat"));
    EXPECT_EQ("q", platform.readFile("C:\\App\\quiet.dat"));
    EXPECT_TRUE(platform.isFolder("C:\\App\\bin\\sub"));
    EXPECT_EQ(recordCount() + 1, state.filesDone.load());
    EXPECT_FALSE(state.setupAborted.load());

    // The kind-4 record is copied but not logged; the marker keeps its place.
    EXPECT_EQ(
        "C:\\App\\bin\\a.txt\r\n<NoneApp>\r\nC:\\App\\b.dat\r\n"
        "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Demo\\卸载Demo.lnk\r\n",
        fileLog());
    // Longest first; among equal lengths the later line first.
    EXPECT_EQ("C:\\App\\bin\\sub\r\nC:\\App\\bin\r\nC:\\App\r\n", dirLog());

    std::string value;
    ASSERT_TRUE(platform.getValue(k::kHkeyLocalMachine, std::string(kUninstallKey) + "\\Demo",
                                  "UninstallString", &value));
    EXPECT_EQ("C:\\WINDOWS\\Kestrova-UnInstall.exe C:\\App\\Demofile.ini", value);

    std::vector<std::string> expected = {
        std::string(k::texts::kStatusCopyBefore) + "a.txt" + k::texts::kStatusCopyAfter,
        std::string(k::texts::kStatusCopyBefore) + "b.dat" + k::texts::kStatusCopyAfter,
        std::string(k::texts::kStatusCopyBefore) + "quiet.dat" + k::texts::kStatusCopyAfter,
        k::texts::kStatusRegister,
        k::texts::kStatusShortcuts,
        k::texts::kStatusUpdatingSystem};
    EXPECT_EQ(expected, statuses());
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_FALSE(state.fileLog.isOpen());
    EXPECT_FALSE(state.dirLog.isOpen());
}

TEST_F(InstallRunTest, ActionsFollowKindAndExtension) {
    builder.addFile("[InstallDir]\\TOOL.EXE", "exe", '1');
    builder.addFile("[InstallDir]\\readme.txt", "txt", '1');
    builder.addFile("[InstallDir]\\comp.ocx", "ocx", '1');
    builder.addFile("[InstallDir]\\fontttf", "font", '0');   // no dot needed
    builder.addFile("[InstallDir]\\plain.exe", "exe", '0');  // kind 0: copy only
    builder.addFile("[InstallDir]\\data.reg",
                    "[HKEY_CURRENT_USER\\Software\\Demo]\r\n\"Path\"=\"C:\\App\"\r\n", '2');
    builder.addFile("[InstallDir]\\setup2.exe", "run", '2', /*runAndDelete=*/true);
    run();

    ASSERT_EQ(3u, platform.processes.size());
    EXPECT_EQ("C:\\App\\TOOL.EXE", platform.processes[0].commandLine);
    EXPECT_TRUE(platform.processes[0].waited);
    EXPECT_EQ(k::kSwShow, platform.processes[0].showCommand);
    EXPECT_EQ("C:\\WINDOWS\\SYSTEM32\\regsvr32.exe \"C:\\App\\comp.ocx\" /s",
              platform.processes[1].commandLine);
    EXPECT_EQ("C:\\App\\setup2.exe", platform.processes[2].commandLine);
    EXPECT_EQ(std::vector<std::string>{"C:\\App\\readme.txt"}, platform.opened);
    EXPECT_EQ(std::vector<std::string>{"C:\\App\\fontttf"}, platform.fonts);

    std::string value;
    ASSERT_TRUE(platform.getValue(k::kHkeyCurrentUser, "Software\\Demo", "Path", &value));
    EXPECT_EQ("C:\\App", value);
    EXPECT_FALSE(platform.exists("C:\\App\\data.reg"));    // imported, then deleted
    EXPECT_FALSE(platform.exists("C:\\App\\setup2.exe"));  // run, then deleted
    EXPECT_TRUE(platform.exists("C:\\App\\plain.exe"));
    // The run-and-delete record stays in the log and announces itself.
    EXPECT_NE(std::string::npos, fileLog().find("C:\\App\\setup2.exe\r\n"));
    auto all = statuses();
    EXPECT_NE(all.end(), std::find(all.begin(), all.end(), k::texts::kStatusInstallComponents));
    EXPECT_EQ(recordCount() + 1, state.filesDone.load());
}

// A TrueType file of one table, "name", holding the full name (ID 4) for
// the Macintosh and for Windows in US English, UTF-16 big-endian.
std::string fontNamed(const std::string& fullName) {
    std::string out;
    auto put = [&out](uint64_t value, int bytes) {
        while (bytes--) out += static_cast<char>(value >> (8 * bytes));
    };
    uint32_t length = static_cast<uint32_t>(fullName.size());
    put(0x00010000, 4), put(1, 2), put(0, 6);  // one table
    out += "name", put(0, 4), put(28, 4), put(30 + 3 * length, 4);
    put(0, 2), put(2, 2), put(30, 2);  // two records, strings at 30
    put(1, 2), put(0, 2), put(0, 2), put(4, 2), put(length, 2), put(0, 2);
    put(3, 2), put(1, 2), put(0x409, 2), put(4, 2), put(2 * length, 2), put(length, 2);
    out += fullName;
    for (char c : fullName) put(static_cast<unsigned char>(c), 2);
    return out;
}

TEST_F(InstallRunTest, FontsInTheFontsFolderJoinTheFontList) {
    // The fake's folders are case-sensitive, the system's are not.
    for (const char* folder :
         {"C:\\WINDOWS\\Fonts\\sub", "C:\\WINDOWS\\FONTS", "C:\\WINDOWS\\fonts"})
        platform.makeFolders(folder);
    builder.addFile("[Windows Directory]\\Fonts\\demo.ttf", fontNamed("Demo Sans Bold"));
    builder.addFile("[Windows Directory]\\FONTS\\字体.ttf", "not a font");
    builder.addFile("[Windows Directory]\\fonts\\cut.ttf", fontNamed("Cut Off").substr(0, 60));
    builder.addFile("[Windows Directory]\\Fonts\\sub\\deep.ttf", fontNamed("Deep"));
    builder.addFile("[InstallDir]\\own.ttf", fontNamed("Own"));
    run();

    EXPECT_EQ(5u, platform.fonts.size());
    EXPECT_EQ(5, platform.fontChanges);
    auto listed = [&](const std::string& name) {
        std::string data = "<missing>";
        platform.getValue(k::kHkeyLocalMachine, k::kFontListKey, name, &data);
        return data;
    };
    // The name from the file's name table; the file's base name where the
    // file has none (not a font, or its table cut off).
    EXPECT_EQ("demo.ttf", listed("Demo Sans Bold (TrueType)"));
    EXPECT_EQ("字体.ttf", listed("字体 (TrueType)"));
    EXPECT_EQ("cut.ttf", listed("cut (TrueType)"));
    // Fonts elsewhere, a subfolder of Fonts included, are only added.
    EXPECT_EQ("<missing>", listed("Deep (TrueType)"));
    EXPECT_EQ("<missing>", listed("Own (TrueType)"));
    EXPECT_EQ(0, platform.openKeyCount());
}

TEST_F(InstallRunTest, WindowsFolderFilesAreLoggedOnlyOnTheDesktop) {
    platform.desktop = "C:\\WINDOWS\\Desktop";
    platform.makeFolders(platform.desktop);
    builder.directories.push_back("[Windows Desktop]\\Folder");
    builder.addFile("[Windows Directory]\\sys.dll", "s");
    builder.addFile("[Windows Desktop]\\note.txt", "n");
    builder.addFile("C:\\WINDOWSX\\sibling.txt", "x");  // byte-wise prefix: counts as inside
    run();

    EXPECT_TRUE(platform.exists("C:\\WINDOWS\\sys.dll"));
    EXPECT_EQ(std::string::npos, fileLog().find("sys.dll"));
    EXPECT_EQ(std::string::npos, fileLog().find("sibling.txt"));
    EXPECT_NE(std::string::npos, fileLog().find("C:\\WINDOWS\\Desktop\\note.txt\r\n"));
    EXPECT_TRUE(platform.isFolder("C:\\WINDOWS\\Desktop\\Folder"));
    EXPECT_EQ(std::string::npos, dirLog().find("Desktop"));
}

TEST_F(InstallRunTest, SecondPassRegistersClearsAndMakesShortcuts) {
    builder.addFile("[InstallDir]\\app.exe", "app");
    builder.autoReg = {"[InstallDir]\\app.exe", "[InstallDir]\\x.dll", "[InstallDir]\\doc.htm",
                       "[InstallDir]\\nodot"};
    builder.clearFile = {"[InstallDir]\\app.exe"};
    builder.programGroup = "演示";
    builder.menuLines = {
        PackageBuilder::menuLine("演示程序", "[InstallDir]\\app.exe /min", true, true)};
    run();

    ASSERT_EQ(2u, platform.processes.size());
    EXPECT_EQ("C:\\App\\app.exe", platform.processes[0].commandLine);
    EXPECT_EQ("C:\\WINDOWS\\SYSTEM32\\regsvr32.exe \"C:\\App\\x.dll\" /s",
              platform.processes[1].commandLine);
    EXPECT_EQ(std::vector<std::string>{"C:\\App\\doc.htm"}, platform.opened);
    EXPECT_FALSE(platform.exists("C:\\App\\app.exe"));

    std::string group = std::string(kStartMenu) + "\\演示\\";
    EXPECT_EQ(group, state.programGroupPath);
    ASSERT_EQ(4u, platform.links.size());
    EXPECT_EQ(group + "演示程序.lnk", platform.links[0].linkPath);
    EXPECT_EQ("C:\\App\\app.exe", platform.links[0].target);
    EXPECT_EQ("min", platform.links[0].arguments);
    EXPECT_EQ("C:\\App", platform.links[0].workingFolder);
    EXPECT_EQ("演示程序", platform.links[0].description);
    EXPECT_EQ(k::kSwShow, platform.links[0].showCommand);
    EXPECT_EQ("C:\\Users\\Setup\\Desktop\\演示程序.lnk", platform.links[1].linkPath);
    EXPECT_EQ(std::string(kStartMenu) + "\\Startup\\演示程序.lnk", platform.links[2].linkPath);
    EXPECT_EQ(group + "卸载Demo.lnk", platform.links[3].linkPath);
    EXPECT_EQ("C:\\WINDOWS\\Kestrova-UnInstall.exe", platform.links[3].target);
    EXPECT_EQ("C:\\App\\Demofile.ini", platform.links[3].arguments);

    // Shortcuts are logged in the order made, after the files.
    EXPECT_EQ("C:\\App\\app.exe\r\n" + group +
                  "演示程序.lnk\r\nC:\\Users\\Setup\\Desktop\\演示程序.lnk\r\n" + kStartMenu +
                  "\\Startup\\演示程序.lnk\r\n" + group + "卸载Demo.lnk\r\n",
              fileLog());
}

TEST_F(InstallRunTest, UninstallOptionOffWritesNoLogsOrUninstallEntry) {
    builder.uninstallOption = "0";
    builder.addFile("[InstallDir]\\a.txt", "a");
    builder.menuLines = {PackageBuilder::menuLine("App", "[InstallDir]\\a.txt")};
    run();

    EXPECT_TRUE(platform.exists("C:\\App\\a.txt"));
    EXPECT_FALSE(platform.exists("C:\\App\\Demofile.ini"));
    EXPECT_FALSE(platform.exists("C:\\App\\Demodir.ini"));
    EXPECT_EQ(1u, platform.links.size());  // no uninstaller shortcut
    EXPECT_FALSE(platform.keyExists(k::kHkeyLocalMachine, std::string(kUninstallKey) + "\\Demo"));
    EXPECT_EQ(2, state.filesDone.load());
}

TEST_F(InstallRunTest, CancelAsksAtTheNextRecordAndNoGoesOn) {
    builder.addFile("[InstallDir]\\a.txt", "a");
    builder.addFile("[InstallDir]\\b.txt", "b");
    state.cancelRequested = true;  // pressed while the folders were made
    platform.answers = {k::kIdNo};
    run();

    ASSERT_EQ(1u, platform.messageBoxes.size());
    EXPECT_EQ(kPage, platform.messageBoxes[0].owner);
    EXPECT_EQ(k::texts::kQuitQuestion, platform.messageBoxes[0].text);
    EXPECT_EQ(k::texts::kCaptionQuit, platform.messageBoxes[0].caption);
    EXPECT_EQ(k::kMbYesNo | k::kMbIconQuestion | k::kMbDefButton2, platform.messageBoxes[0].style);
    EXPECT_FALSE(state.cancelRequested.load());
    EXPECT_EQ(3, state.filesDone.load());
}

TEST_F(InstallRunTest, CancelConfirmedAtAFileEndsTheRunAtOnce) {
    builder.addFile("[InstallDir]\\first.exe", "1", '1');
    builder.addFile("[InstallDir]\\second.txt", "2");
    platform.onProcess = [this](const std::string&) { state.cancelRequested = true; };
    platform.answers = {k::kIdYes};
    run();

    EXPECT_TRUE(state.setupAborted.load());
    EXPECT_FALSE(platform.exists("C:\\App\\second.txt"));
    EXPECT_EQ(1, state.filesDone.load());            // no final count
    EXPECT_EQ("C:\\App\\first.exe\r\n", fileLog());  // kept, in script order
    EXPECT_EQ("C:\\App\r\nC:\\App\\bin\r\nC:\\App\\bin\\sub\r\n", dirLog());  // not sorted
    EXPECT_FALSE(state.fileLog.isOpen());
}

TEST_F(InstallRunTest, CancelInAutoRegIsAskedAndYesEndsTheRun) {
    builder.addFile("[InstallDir]\\a.txt", "a");
    builder.autoReg = {"[InstallDir]\\one.exe", "[InstallDir]\\two.exe"};
    builder.menuLines = {PackageBuilder::menuLine("App", "[InstallDir]\\a.txt")};
    platform.onProcess = [this](const std::string&) { state.cancelRequested = true; };
    platform.answers = {k::kIdYes};
    run();

    EXPECT_EQ(1u, platform.processes.size());
    EXPECT_TRUE(state.setupAborted.load());
    EXPECT_TRUE(platform.links.empty());
    EXPECT_EQ(1, state.filesDone.load());
}

TEST_F(InstallRunTest, StoppingAfterAFailedFileRunsNothingMore) {
    builder.addFile("[InstallDir]\\ok.txt", "ok");
    builder.addFile("[InstallDir]\\locked.exe", "x", '1');
    builder.addFile("[InstallDir]\\later.txt", "later");
    platform.failWrites.insert("C:\\App\\locked.exe");
    platform.answers = {k::kIdYes};
    run();

    ASSERT_EQ(1u, platform.messageBoxes.size());
    EXPECT_TRUE(state.installAbandoned.load());
    EXPECT_TRUE(state.setupAborted.load());
    EXPECT_TRUE(platform.processes.empty());  // the unwritten exe is not run
    EXPECT_FALSE(platform.exists("C:\\App\\later.txt"));
    EXPECT_EQ(1, state.filesDone.load());
    EXPECT_FALSE(platform.keyExists(k::kHkeyLocalMachine, std::string(kUninstallKey) + "\\Demo"));
    // The file that could not be written is neither left nor listed.
    EXPECT_FALSE(platform.exists("C:\\App\\locked.exe"));
    EXPECT_EQ("C:\\App\\ok.txt\r\n", fileLog());
}

// While a plain file is written the next record's file is made ahead: not
// while a program's record waits to run, not over a file that is there,
// and one made for a record the run never reaches (here the user stopped
// after a failed file) is deleted.
TEST_F(InstallRunTest, FilesAreMadeAheadOnlyWhereNothingElseWaits) {
    builder.addFile("[InstallDir]\\a.txt", "a");
    builder.addFile("[InstallDir]\\b.txt", "b");
    builder.addFile("[InstallDir]\\run.exe", "x", '1');
    builder.addFile("[InstallDir]\\c.txt", "c");
    builder.addFile("[InstallDir]\\there.txt", "new");
    builder.addFile("[InstallDir]\\d.txt", "d");
    builder.addFile("[InstallDir]\\e.txt", "e");
    platform.writeFile("C:\\App\\there.txt", "old, and longer than the new");
    platform.failWrites.insert("C:\\App\\d.txt");
    platform.answers = {k::kIdYes};
    run();

    const std::vector<std::string> ahead = {"C:\\App\\b.txt", "C:\\App\\run.exe", "C:\\App\\d.txt",
                                            "C:\\App\\e.txt"};
    EXPECT_EQ(ahead, platform.madeAhead);
    EXPECT_EQ("b", platform.readFile("C:\\App\\b.txt"));
    EXPECT_EQ("new", platform.readFile("C:\\App\\there.txt"));
    EXPECT_EQ(1u, platform.processes.size());
    EXPECT_TRUE(state.installAbandoned.load());
    EXPECT_FALSE(platform.exists("C:\\App\\d.txt"));
    EXPECT_FALSE(platform.exists("C:\\App\\e.txt"));
    EXPECT_TRUE(platform.pendingAhead.empty());
    EXPECT_EQ(
        "C:\\App\\a.txt\r\nC:\\App\\b.txt\r\nC:\\App\\run.exe\r\nC:\\App\\c.txt\r\n"
        "C:\\App\\there.txt\r\n",
        fileLog());
}

TEST_F(InstallRunTest, FailedFileAnsweredNoGoesOnAsIfWritten) {
    builder.addFile("[InstallDir]\\locked.txt", "x");
    builder.addFile("[InstallDir]\\later.txt", "later");
    platform.failWrites.insert("C:\\App\\locked.txt");
    platform.answers = {k::kIdNo};
    run();

    EXPECT_FALSE(state.installAbandoned.load());
    EXPECT_EQ("later", platform.readFile("C:\\App\\later.txt"));
    EXPECT_EQ(3, state.filesDone.load());
    EXPECT_FALSE(platform.exists("C:\\App\\locked.txt"));
    EXPECT_EQ(std::string::npos, fileLog().find("locked"));
}

TEST_F(InstallRunTest, UnreadablePackageOrScriptStopsWithAMessage) {
    builder.addFile("[InstallDir]\\a.txt", "a");
    platform.failOpens.insert(kPackage);
    run();
    ASSERT_EQ(1u, platform.messageBoxes.size());
    EXPECT_EQ(k::texts::kPackageReadError, platform.messageBoxes[0].text);
    EXPECT_TRUE(state.setupAborted.load());
    EXPECT_EQ(0, state.filesDone.load());

    FakePlatform second;
    k::SetupState other;
    std::strcpy(other.packagePath, "C:\\Downloads\\setup.exe");
    std::strcpy(other.scriptPath, "C:\\TEMP\\missing.ini");
    second.writeFile(other.packagePath, "x");
    k::installRun(second, second.user(kPage), other);
    ASSERT_EQ(1u, second.messageBoxes.size());
    EXPECT_EQ(k::texts::kSetupFileReadError, second.messageBoxes[0].text);
    EXPECT_EQ(kPage, second.messageBoxes[0].owner);
    EXPECT_TRUE(other.setupAborted.load());
}

TEST_F(InstallRunTest, ScriptEndingInsideASectionEndsIt) {
    builder.addFile("[InstallDir]\\a.txt", "a");
    // Cut the script inside [File], after the first record: no crash, the
    // record is installed, and the run completes.
    std::string script = builder.script();
    script.resize(script.find("[TotalSize]"));
    k::SetupState cut;
    FakePlatform fake;
    fake.writeFile(kPackage, builder.build());
    fake.writeFile(kScript, script);
    std::strcpy(cut.packagePath, kPackage);
    std::strcpy(cut.scriptPath, kScript);
    std::strcpy(cut.installDir, "C:\\App");
    std::strcpy(cut.productName, "Demo");
    cut.packageOffset = builder.recordBase();
    k::installRun(fake, fake.user(kPage), cut);
    EXPECT_EQ("a", fake.readFile("C:\\App\\a.txt"));
    EXPECT_EQ(2, cut.filesDone.load());
}

TEST_F(InstallRunTest, RunsOnlyOnce) {
    builder.addFile("[InstallDir]\\a.txt", "a");
    run();
    int done = state.filesDone.load();
    k::installRun(platform, platform.user(kPage), state);
    EXPECT_EQ(done, state.filesDone.load());
}

TEST(Extensions, FollowTheirRules) {
    char ext[4];
    k::fileExtension("C:\\A\\APP.EXE", ext);
    EXPECT_STREQ("exe", ext);
    k::fileExtension("a.ttf", ext);
    EXPECT_STREQ("ttf", ext);
    k::fileExtension(".ttf", ext);  // four characters: no extension
    EXPECT_STREQ("", ext);
    k::autoRegExtension("C:\\A\\nodot", ext);
    EXPECT_STREQ("", ext);
    k::autoRegExtension("C:\\A\\X.OCX", ext);
    EXPECT_STREQ("ocx", ext);
}

}  // namespace

namespace {

// Scripts that lost an end marker: each section's loop ends at any section
// line (and where the licence text begins), so no line of one section is
// ever acted on as a line of another. The start-up check refuses such
// packages; the run stands on its own all the same.
TEST_F(InstallRunTest, NoSectionRunsOnIntoAnother) {
    builder.addFile("[InstallDir]\\a.txt", "a");
    builder.autoReg = {"[InstallDir]\\tool.exe"};
    builder.clearFile = {"[InstallDir]\\old.txt"};
    builder.menuLines = {PackageBuilder::menuLine("App", "[InstallDir]\\a.txt")};
    builder.runCommand = "C:\\WINDOWS\\notepad.exe";
    builder.licence = "<p>\r\nC:\\WINDOWS\\licence.exe\r\n";
    const std::string full = builder.script();
    auto without = [&](const std::string& line) {
        std::string s = full;
        s.erase(s.find(line), line.size());
        return s;
    };
    platform.writeFile("C:\\WINDOWS\\notepad.exe", "n");

    // No "[Menu]": [ClearFile] stops at "[Run]"; the [Run] command is never
    // taken for a file to delete (the lines before it only the check can
    // tell from file names).
    run();
    platform.writeFile(kScript, without("[Menu]\r\n"));
    state.installStarted = false;
    platform.deleted.clear();
    k::installRun(platform, platform.user(kPage), state);
    EXPECT_EQ("C:\\App\\old.txt", platform.deleted.at(0));
    for (const std::string& d : platform.deleted)
        EXPECT_EQ(std::string::npos, d.find("notepad")) << d;
    EXPECT_TRUE(platform.exists("C:\\WINDOWS\\notepad.exe"));

    // No "[ClearFile]": [AutoReg] stops at "[Menu]"; nothing after it runs.
    platform.writeFile(kScript, without("[ClearFile]\r\n"));
    state.installStarted = false;
    platform.processes.clear();
    platform.deleted.clear();
    k::installRun(platform, platform.user(kPage), state);
    ASSERT_EQ(1u, platform.processes.size());
    EXPECT_EQ("C:\\App\\tool.exe", platform.processes[0].commandLine);
    EXPECT_TRUE(platform.deleted.empty());

    // No "[Run]" section at all: the shortcuts end where the licence begins.
    std::string noRun = full;
    noRun.erase(noRun.find("[Run]\r\n"), noRun.find("<p>") - noRun.find("[Run]\r\n"));
    platform.writeFile(kScript, noRun);
    state.installStarted = false;
    platform.links.clear();
    k::installRun(platform, platform.user(kPage), state);
    ASSERT_EQ(2u, platform.links.size());  // App and the uninstaller
    EXPECT_NE(std::string::npos, platform.links[0].linkPath.find("App.lnk"));
    EXPECT_NE(std::string::npos, platform.links[1].linkPath.find("卸载"));
}

}  // namespace

// The fake maps drive paths into its own temporary folder; a ".." that
// climbs out of it must map to nothing, since the run under a fuzzer (as
// root) would otherwise write and delete anywhere.
TEST(FakePlatformPaths, RefuseClimbingOutOfItsFolder) {
    FakePlatform platform;
    const std::string outside = platform.root() + "/../kestrova-escape";
    for (const char* path : {"C:\\..\\kestrova-escape", "C:/../kestrova-escape", "..\\..\\x",
                             "C:\\a\\..\\..\\..\\kestrova-escape"}) {
        EXPECT_EQ("", platform.hostPath(path)) << path;
        EXPECT_FALSE(platform.makeFolder(path));
        EXPECT_FALSE(platform.openFile(path, k::FileMode::Write));
    }
    EXPECT_FALSE(std::ifstream(outside).good());
    EXPECT_EQ(platform.root() + "/C/a/..b/c", platform.hostPath("C:\\a\\..b/c"));
}
