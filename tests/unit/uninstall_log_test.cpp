// The uninstall logs: their paths, what is written and when it reaches the
// disk, the lines an earlier install listed, and the longest-first rewrite
// of the directory log.
#include "engine/uninstall_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/earlier_logs.h"
#include "fake_platform.h"
#include "gbk.h"
#include "resources/texts.h"
#include "state/bounded_text.h"

namespace kestrova {
namespace {

using test::FakePlatform;
using test::gbk;

class UninstallLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        copyText(state.installDir, gbk(u8"C:\\Program Files\\软件").c_str());
        copyText(state.productName, gbk(u8"产品").c_str());
        copyText(state.uninstallOption, "1");
        platform.makeFolders(state.installDir);
    }
    std::string dirLog() const { return gbk(u8"C:\\Program Files\\软件\\产品dir.ini"); }
    std::string fileLog() const { return gbk(u8"C:\\Program Files\\软件\\产品file.ini"); }

    // Writes lines as the directory log and rewrites it.
    std::string rewrite(const std::string& content) {
        copyText(state.dirLogPath, dirLog().c_str());
        platform.writeFile(dirLog(), content);
        rewriteDirectoryLog(platform, state);
        return platform.readFile(dirLog());
    }

    FakePlatform platform;
    SetupState state;
    int page = 0;
    WindowRef owner = &page;
};

TEST_F(UninstallLogTest, EntriesReachTheDiskAtOnceInWriteOrder) {
    // An earlier install's logs: their whole lines start the new logs (not
    // a marker, not a line cut short), so a run that is killed loses none.
    platform.writeFile(dirLog(), "C:\\Old\r\n");
    platform.writeFile(fileLog(), "C:\\old.txt\r\n<NoneApp>\r\nC:\\cut");

    ASSERT_TRUE(openUninstallLogs(platform, platform.user(owner), state));
    EXPECT_EQ(dirLog(), state.dirLogPath);
    EXPECT_EQ(fileLog(), state.fileLogPath);
    const std::string oldDir = "C:\\Old\r\n", oldFile = "C:\\old.txt\r\n";
    EXPECT_EQ(oldDir, platform.readFile(dirLog()));
    EXPECT_EQ(oldFile, platform.readFile(fileLog()));

    const std::string folder = gbk(u8"C:\\Program Files\\软件\\数据");
    writeLog(state, LogKind::Directory, folder.c_str());
    writeLog(state, LogKind::Directory, "\r\n");
    // Each entry is on disk while the log is still open.
    EXPECT_EQ(oldDir + folder + "\r\n", platform.readFile(dirLog()));

    writeLog(state, LogKind::File, "C:\\a.exe");
    writeLog(state, LogKind::File, "\r\n");
    EXPECT_EQ(oldFile + "C:\\a.exe\r\n", platform.readFile(fileLog()));
    writeLog(state, LogKind::File, "<NoneApp>\r\n");
    writeLog(state, LogKind::File, "C:\\b.dll\r\n");
    const std::string written = oldFile + "C:\\a.exe\r\n<NoneApp>\r\nC:\\b.dll\r\n";
    EXPECT_EQ(written, platform.readFile(fileLog()));
    EXPECT_EQ(oldDir + folder + "\r\n", platform.readFile(dirLog()));

    closeUninstallLogs(state);
    EXPECT_FALSE(state.dirLog.isOpen());
    EXPECT_FALSE(state.fileLog.isOpen());
    writeLog(state, LogKind::File, "late\r\n");
    EXPECT_EQ(written, platform.readFile(fileLog()));
    closeUninstallLogs(state);  // closing twice is harmless
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_FALSE(state.setupAborted);
}

TEST_F(UninstallLogTest, AnUpgradeKeepsWhatOnlyTheEarlierInstallListedEachPathOnce) {
    // The earlier version had old.txt and the folder Old; both versions
    // have b.dll (in another letter case), Data and the marker. "\x81A" and
    // "\x81a" are two Chinese characters, not one in two letter cases.
    platform.writeFile(fileLog(),
                       "C:\\P\\old.txt\r\nC:\\P\\B.DLL\r\n<NoneApp>\r\nC:\\P\\\x81"
                       "A\r\n");
    platform.writeFile(dirLog(), "C:\\P\\Data\r\nC:\\P\\Old\r\nC:\\P\r\n");
    ASSERT_TRUE(openUninstallLogs(platform, platform.user(owner), state));
    for (const char* line : {"C:\\P\\b.dll", "<NoneApp>", "C:\\P\\new.exe",
                             "C:\\P\\\x81"
                             "a"})
        writeLogLine(state, LogKind::File, line);
    writeLogLine(state, LogKind::Directory, "C:\\P");
    writeLogLine(state, LogKind::Directory, "C:\\P\\DATA");
    closeUninstallLogs(state);
    rewriteDirectoryLog(platform, state);
    removeRepeatedFileLogLines(platform, state);

    // The run's own lines in its order, after what only the earlier had.
    EXPECT_EQ(
        "C:\\P\\old.txt\r\nC:\\P\\\x81"
        "A\r\nC:\\P\\b.dll\r\n<NoneApp>\r\nC:\\P\\new.exe\r\n"
        "C:\\P\\\x81"
        "a\r\n",
        platform.readFile(fileLog()));
    EXPECT_EQ("C:\\P\\Data\r\nC:\\P\\Old\r\nC:\\P\r\n", platform.readFile(dirLog()));

    // Nothing repeats: the file log is left as it is.
    platform.writeFile(fileLog(), "C:\\P\\a\r\n<NoneApp>\r\n<NoneApp>\r\n");
    removeRepeatedFileLogLines(platform, state);
    EXPECT_EQ("C:\\P\\a\r\n<NoneApp>\r\n<NoneApp>\r\n", platform.readFile(fileLog()));
}

TEST_F(UninstallLogTest, OptionOffFormsThePathsButCreatesAndWritesNothing) {
    copyText(state.uninstallOption, "0");
    ASSERT_TRUE(openUninstallLogs(platform, platform.user(owner), state));
    // The registration and the shortcut still need the paths.
    EXPECT_EQ(fileLog(), state.fileLogPath);
    EXPECT_EQ(dirLog(), state.dirLogPath);
    EXPECT_FALSE(state.dirLog.isOpen());
    EXPECT_FALSE(state.fileLog.isOpen());
    EXPECT_FALSE(platform.exists(dirLog()));
    EXPECT_FALSE(platform.exists(fileLog()));

    // Even a log that is open is not written while the option is off.
    state.fileLog = platform.openFile("C:\\other.ini", FileMode::Write);
    writeLog(state, LogKind::File, "C:\\a.exe\r\n");
    state.fileLog.close();
    EXPECT_EQ("", platform.readFile("C:\\other.ini"));

    // Nor is an earlier log of the same name rewritten.
    platform.writeFile(dirLog(), "C:\\P\\A\r\nC:\\P\\A\\Sub\r\n");
    rewriteDirectoryLog(platform, state);
    EXPECT_EQ("C:\\P\\A\r\nC:\\P\\A\\Sub\r\n", platform.readFile(dirLog()));
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(UninstallLogTest, ALogThatCannotBeOpenedStopsTheSetup) {
    for (bool failDirectory : {true, false}) {
        SCOPED_TRACE(failDirectory ? "directory log" : "file log");
        FakePlatform fresh;
        SetupState s;
        copyText(s.installDir, "C:\\App");
        copyText(s.productName, "App");
        copyText(s.uninstallOption, "1");
        fresh.makeFolders("C:\\App");
        fresh.failOpens.insert(failDirectory ? "C:\\App\\Appdir.ini" : "C:\\App\\Appfile.ini");

        EXPECT_FALSE(openUninstallLogs(fresh, fresh.user(owner), s));
        ASSERT_EQ(1u, fresh.messageBoxes.size());
        EXPECT_EQ(texts::kLogOpenError, fresh.messageBoxes[0].text);
        EXPECT_EQ(texts::kCaptionError, fresh.messageBoxes[0].caption);
        EXPECT_EQ(kMbOk, fresh.messageBoxes[0].style);
        EXPECT_EQ(owner, fresh.messageBoxes[0].owner);
        EXPECT_TRUE(s.setupAborted);
        EXPECT_FALSE(s.dirLog.isOpen());
        EXPECT_FALSE(s.fileLog.isOpen());
    }
}

TEST_F(UninstallLogTest, PathsThatDoNotFitAreNeverShortened) {
    // installDir + "\" + a 490-byte name + "file.ini" exceeds 499 bytes.
    copyText(state.productName, std::string(490, 'n').c_str());
    EXPECT_FALSE(openUninstallLogs(platform, platform.user(owner), state));
    EXPECT_TRUE(state.setupAborted);
    ASSERT_EQ(1u, platform.messageBoxes.size());
    EXPECT_EQ(texts::kLogOpenError, platform.messageBoxes[0].text);
    EXPECT_STREQ("", state.dirLogPath);
    EXPECT_STREQ("", state.fileLogPath);

    // With the option off there is nothing to open and the run goes on.
    SetupState off;
    copyText(off.installDir, state.installDir);
    copyText(off.productName, state.productName);
    copyText(off.dirLogPath, "stale");
    EXPECT_TRUE(openUninstallLogs(platform, platform.user(owner), off));
    EXPECT_FALSE(off.setupAborted);
    EXPECT_STREQ("", off.dirLogPath);
    EXPECT_STREQ("", off.fileLogPath);
}

TEST_F(UninstallLogTest, RewritePutsLongerAndLaterLinesFirst) {
    EXPECT_EQ("C:\\P\\A\\Sub\r\nC:\\P\\B\r\nC:\\P\\A\r\n",
              rewrite("C:\\P\\A\r\nC:\\P\\A\\Sub\r\nC:\\P\\B\r\n"));
    EXPECT_EQ("", rewrite(""));
    // GBK bytes count as bytes: the two-character name is four bytes long.
    const std::string deep = gbk(u8"C:\\中文");
    EXPECT_EQ(deep + "\r\nC:\\abc\r\n", rewrite("C:\\abc\r\n" + deep + "\r\n"));
}

TEST_F(UninstallLogTest, RewriteKeepsPiecesOfLongLinesAndDropsAnUnfinishedLastLine) {
    // 300 bytes of path and CR LF: read as a 269-byte piece and the rest.
    const std::string longPath(300, 'x');
    const std::string head(269, 'x');
    const std::string tail = std::string(31, 'x') + "\r\n";
    EXPECT_EQ(head + tail + "C:\\P\r\n", rewrite("C:\\P\r\n" + longPath + "\r\n"));

    EXPECT_EQ("C:\\Done\r\n", rewrite("C:\\Done\r\nC:\\Unfinished"));
    EXPECT_EQ("", rewrite("C:\\Unfinished"));
}

TEST_F(UninstallLogTest, RewriteOfThousandsOfLines) {
    // Lines of a few lengths, each made unique by its number, so that the
    // order among equal lengths can be checked.
    const int count = 4000;
    std::string content;
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        std::string number = std::to_string(i);
        std::string line = "C:\\" + std::string((i * 7919) % 13, 'd') + "\\" +
                           std::string(5 - number.size(), '0') + number;
        lines.push_back(line);
        content += line + "\r\n";
    }
    std::string out = rewrite(content);
    ASSERT_EQ(content.size(), out.size());

    std::vector<std::string> result;
    for (std::size_t at = 0; at < out.size();) {
        std::size_t end = out.find("\r\n", at);
        ASSERT_NE(std::string::npos, end);
        result.push_back(out.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(lines.size(), result.size());
    for (std::size_t i = 1; i < result.size(); ++i) {
        const std::string& a = result[i - 1];
        const std::string& b = result[i];
        ASSERT_GE(a.size(), b.size()) << "at " << i;
        // The number at the end gives the original position.
        if (a.size() == b.size()) {
            ASSERT_GT(a.substr(a.size() - 5), b.substr(b.size() - 5)) << "at " << i;
        }
    }
    std::sort(result.begin(), result.end());
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, result);
}

TEST_F(UninstallLogTest, RewriteLeavesALogItCannotOpenAsItIs) {
    platform.failOpens.insert(dirLog());
    EXPECT_EQ("C:\\P\\A\r\nC:\\P\\A\\Sub\r\n", rewrite("C:\\P\\A\r\nC:\\P\\A\\Sub\r\n"));
}

}  // namespace
}  // namespace kestrova
