// The package check that start-up runs before unpacking anything: every
// line whole in its reader's buffer, the sections in order, fixed-width
// records and shortcut lines, streams inside the file, the licence at a
// line start.
#include "package/package_check.h"

#include <gtest/gtest.h>

#include <utility>

#include "fake_platform.h"
#include "package/format.h"
#include "package/lzss_decoder.h"
#include "package/package_header.h"
#include "package_builder.h"

using kestrova::PackageProblem;
using kestrova::test::FakePlatform;
using kestrova::test::PackageBuilder;
namespace k = kestrova;

namespace {

struct Result {
    PackageProblem problem;
    int line;
};

Result check(const std::string& script, int32_t fileCount, int64_t fileSize = 0x43000 + 2000,
             int32_t recordBase = 0x43000 + 500) {
    FakePlatform platform;
    platform.writeFile("C:\\s.ini", script);
    k::File file = platform.openFile("C:\\s.ini", k::FileMode::Read);
    Result r{};
    r.problem = k::checkPackageScript(file, fileSize, recordBase, fileCount, &r.line);
    return r;
}

// A builder whose offsets (40, 47, ...) lie inside the checked file size.
PackageBuilder product() {
    PackageBuilder b;
    b.directories = {"[InstallDir]", "[InstallDir]\\bin"};
    b.addFile("[InstallDir]\\bin\\app.exe", "MZ", '0', true);
    b.addNoneApp();
    b.addFile("[InstallDir]\\readme.txt", "hello");
    b.autoReg = {"[InstallDir]\\bin\\app.exe"};
    b.clearFile = {"[Windows Directory]\\old.txt"};
    b.menuLines = {PackageBuilder::menuLine("App", "[InstallDir]\\bin\\app.exe /x", true)};
    return b;
}

std::string replaced(std::string s, const std::string& from, const std::string& to) {
    std::size_t at = s.find(from);
    EXPECT_NE(std::string::npos, at) << from;
    if (at != std::string::npos) s.replace(at, from.size(), to);
    return s;
}

TEST(PackageCheck, AcceptsWhatTheFormatAllows) {
    PackageBuilder b = product();
    EXPECT_EQ(PackageProblem::None, check(b.script(), 2).problem);

    // The licence is the script's tail, whatever it holds: section lines,
    // long lines, no CR LF at its end.
    b.licence = "[Menu]\r\n" + std::string(900, 'x') + "\r\n[Run]";
    EXPECT_EQ(PackageProblem::None, check(b.script(), 2).problem);

    // Free text may stand before "[Directory]" and "[AutoReg]"; "[Run]" and
    // its lines may be left out.
    std::string s = replaced(b.script(), "[Directory]\r\n", "note\r\n[Directory]\r\n");
    s = replaced(s, "[AutoReg]\r\n", std::string(470, 'n') + "\r\n[AutoReg]\r\n");
    s = replaced(s, "[Run]\r\nRun Demo\r\n[InstallDir]\\demo.exe\r\n", "");
    EXPECT_EQ(PackageProblem::None, check(s, 2).problem);
}

// Each of these would make a reader take one section's lines for another's
// or read a line in pieces; the line named is the first wrong one.
TEST(PackageCheck, RefusesScriptsTheReadersWouldMisread) {
    const std::string good = product().script();
    const std::string menuLine =
        PackageBuilder::menuLine("App", "[InstallDir]\\bin\\app.exe /x", true);
    struct Case {
        std::string script;
        PackageProblem problem;
        int line;
    } cases[] = {
        // The [ClearFile] loop would delete the [Menu] and [Run] lines.
        {replaced(good, "[Menu]\r\n", ""), PackageProblem::MissingSection, 26},
        // The [AutoReg] loop would run the [ClearFile] lines.
        {replaced(good, "[ClearFile]\r\n", ""), PackageProblem::MissingSection, 23},
        // Without "[Run]" its caption would become a shortcut line.
        {replaced(good, "[Run]\r\n", ""), PackageProblem::ShortcutWidth, 27},
        {replaced(good, "Demo\r\n[Program", std::string(462, 'D') + "\r\n[Program"),
         PackageProblem::LineTooLong, 2},
        {replaced(good, "\r\n1\r\n1\r\n", "\r\n1\r\n1" + std::string(97, ' ') + "\r\n"),
         PackageProblem::LineTooLong, 5},
        {replaced(good, "[InstallDir]\\bin\r\n", "[InstallDir]\\" + std::string(611, 'b') + "\r\n"),
         PackageProblem::LineTooLong, 8},
        {replaced(good, menuLine, menuLine + std::string(80, ' ')), PackageProblem::LineTooLong,
         26},
        {replaced(good, "[InstallDir]\\bin\r\n", "[InstallDir]\\bin\n"),
         PackageProblem::LineTooLong, 8},
        {replaced(good, "Demo\r\n", "[File]\r\n"), PackageProblem::MisplacedSection, 2},
        {replaced(good, "[InstallDir]\r\n", "[TotalSize]\r\n"), PackageProblem::MissingFile, 7},
        {replaced(good, "[File]\r\n", ""), PackageProblem::MissingFile, 15},
        {replaced(good, "<NoneApp>\r\n", "[AutoReg]\r\n"), PackageProblem::MissingTotalSize, 14},
        {replaced(good, "app.exe             ", "app.exe"), PackageProblem::RecordWidth, 13},
        {replaced(good, menuLine, menuLine.substr(0, 300)), PackageProblem::ShortcutWidth, 26},
        {replaced(good, "[Run]\r\nRun Demo\r\n[InstallDir]\\demo.exe\r\n", "[Run]\r\n"),
         PackageProblem::MissingSection, 0},
        {replaced(good, "\r\n\r\n20\r\n", "\r\n\r\n99999\r\n"), PackageProblem::LicenceLength, 19},
        {replaced(good, "\r\n\r\n20\r\n", "\r\n\r\n-1\r\n"), PackageProblem::LicenceLength, 19},
        // A licence that would begin inside the [Run] command line.
        {replaced(good, "\r\n\r\n20\r\n", "\r\n\r\n25\r\n"), PackageProblem::LicenceLength, 29},
        {good.substr(0, good.find("[TotalSize]")), PackageProblem::MissingTotalSize, 0},
        {good.substr(0, good.find("[AutoReg]")) + "<html>licence</html>",
         PackageProblem::MissingSection, 0},
        {replaced(good, "[Program Files]\\Demo\r\n1\r\n1\r\n[Directory]",
                  "[Program Files]\\Demo\r\n1\r\n1\r\n[Directory "),
         PackageProblem::MissingDirectory, 9},
    };
    for (const Case& c : cases) {
        Result r = check(c.script, 2);
        EXPECT_EQ(c.problem, r.problem) << c.script;
        EXPECT_EQ(c.line, r.line) << c.script;
    }
}

TEST(PackageCheck, StreamsAndCountMustMatchTheFile) {
    PackageBuilder b = product();
    EXPECT_EQ(PackageProblem::FileCountMismatch, check(b.script(), 3).problem);
    // Record base + offset + length may reach the file size but not pass it;
    // the last stream ends at base 500 + offset 40 + 7 streams' bytes.
    const std::string s = b.script();
    EXPECT_EQ(PackageProblem::None, check(s, 2,
                                          0x43000 + 500 + b.streamPosition(2) - b.recordBase() +
                                              PackageBuilder::encode("hello").size())
                                        .problem);
    EXPECT_EQ(PackageProblem::StreamOutsideFile, check(s, 2, 0x43000 + 560).problem);
    // Offsets that wrap past 2^31 when added to the base.
    std::string wrapped =
        replaced(s, PackageBuilder::numberField(b.streamPosition(0) - b.recordBase()),
                 PackageBuilder::numberField(2147483000));
    EXPECT_EQ(PackageProblem::StreamOutsideFile, check(wrapped, 2).problem);
    // Fields of the first record (the welcome picture, line 10) that would
    // have its stream read from the header or the script: offsets below 40,
    // negative ones above all, and a negative length.
    const std::size_t welcome = s.find("[File]\r\n") + 8;
    for (auto [field, value] : {std::pair{k::format::kRecordOffsetField, -100L},
                                {k::format::kRecordOffsetField, 39L},
                                {k::format::kRecordLengthField, -1L}}) {
        std::string damaged = s;
        damaged.replace(welcome + field, 20, PackageBuilder::numberField(value));
        Result r = check(damaged, 2);
        EXPECT_EQ(PackageProblem::StreamOutsideFile, r.problem) << field << " " << value;
        EXPECT_EQ(10, r.line) << field << " " << value;
    }
}

TEST(PackageCheck, ScriptStreamMustLieInsideTheFile) {
    EXPECT_TRUE(k::scriptStreamInside(0x43000 + 40 + 100, 0x43000, 100));
    EXPECT_FALSE(k::scriptStreamInside(0x43000 + 40 + 99, 0x43000, 100));
    EXPECT_FALSE(k::scriptStreamInside(0x43000 + 40, 0x43000, -1));
    EXPECT_FALSE(k::scriptStreamInside(0x43000, 0x43000, 0));  // no header at all
}

// A script length near 2^31 makes the record base wrap; the check must
// refuse it without a signed overflow (the sanitizer build traps on one).
TEST(PackageCheck, HugeScriptLengthIsRefused) {
    FakePlatform platform;
    k::SetupState state;
    std::string file(k::kPackageStart, 'M');
    file += PackageBuilder::numberField(2147483647) + PackageBuilder::numberField(0) + "\x01x";
    platform.writeFile(platform.module, file);
    std::snprintf(state.packagePath, sizeof state.packagePath, "%s", platform.module.c_str());
    std::snprintf(state.scriptPath, sizeof state.scriptPath, "C:\\TEMP\\s.ini");
    state.packageOffset = k::kPackageStart;
    k::LzssDecoder decoder(platform, state, platform.user());
    ASSERT_TRUE(k::readPackageHeader(platform, state, decoder));
    k::File package = platform.openFile(state.packagePath, k::FileMode::Read);
    k::File script = platform.openFile(state.scriptPath, k::FileMode::Read);
    EXPECT_FALSE(k::packageIsSound(package, script, state));
}

}  // namespace
