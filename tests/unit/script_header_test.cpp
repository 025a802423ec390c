// The package header and the script header: locating and unpacking the
// script, reading its header lines and [TotalSize], and splitting off the
// licence text.
#include "engine/script_header.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

#include "fake_platform.h"
#include "gbk.h"
#include "package/format.h"
#include "package/package_header.h"
#include "package/script_reader.h"
#include "resources/texts.h"

namespace kestrova {
namespace {

using test::FakePlatform;
using test::gbk;

const char kScript[] = "C:\\TEMP\\~temp1.ini";
const char kLicence[] = "C:\\TEMP\\~temp1Doc.htm";

std::string field(const std::string& text) {
    std::string f = text;
    f.resize(format::kNumberFieldWidth, ' ');
    return f;
}

std::string literalStream(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i % 8 == 0) out += '\xFF';
        out += text[i];
    }
    return out;
}

std::string recordLine(const std::string& path, int offset, int length, char kind = '0') {
    std::string line = path;
    line.resize(format::kRecordPathWidth, ' ');
    return line + field(std::to_string(offset)) + field(std::to_string(length)) + kind + "\r\n";
}

struct ScriptParts {
    std::string product = gbk(u8"演示软件");
    std::string installDir = "[Windows Directory]\\Demo";
    std::string licenceOption = "1";
    std::string uninstallOption = "10";
    std::string totalSize = "2048000";
    std::string licence = std::string("<html>\r\n\x01\x00 licence \xD6\xD0\r\n</html>", 30);
    std::string licenceLengthLine;  // default: the licence's length

    std::string build() const {
        std::string lengthLine =
            licenceLengthLine.empty() ? std::to_string(licence.size()) + "   " : licenceLengthLine;
        return "Kestrova setup script\r\n" + product + "\r\n" + installDir + "\r\n" +
               licenceOption + "\r\n" + uninstallOption + "\r\n" + "[Directory]\r\n" +
               "[File]\r\n" + recordLine("Wel.Bmp", 40, 0) + recordLine("Soft.Bmp", 40, 0) +
               recordLine("Title.Bmp", 40, 0) + "[TotalSize]\r\n" + totalSize + "\r\n" +
               "not read\r\n" + lengthLine + "\r\n" + "[AutoReg]\r\n[ClearFile]\r\n[Menu]\r\n" +
               "Group\r\n[Run]\r\nRun it\r\nC:\\a.exe\r\n" + licence;
    }
};

class ScriptHeaderTest : public ::testing::Test {
  protected:
    FakePlatform platform;
    SetupState state;

    void SetUp() override {
        std::snprintf(state.scriptPath, sizeof state.scriptPath, "%s", kScript);
        std::snprintf(state.licencePath, sizeof state.licencePath, "%s", kLicence);
    }
    bool read(const std::string& script) {
        platform.writeFile(kScript, script);
        return readScriptHeader(platform, platform.user(), state);
    }
};

TEST_F(ScriptHeaderTest, ReadsHeaderLinesTotalSizeAndLicence) {
    ScriptParts parts;
    ASSERT_TRUE(read(parts.build()));
    EXPECT_EQ(parts.product, state.productName);
    EXPECT_STREQ("C:\\WINDOWS\\Demo", state.installDir);  // its macro expanded
    EXPECT_STREQ("1", state.licenceOption);
    EXPECT_STREQ("1", state.uninstallOption);  // only the first character is kept
    EXPECT_EQ(2000u, state.totalSizeKb);
    EXPECT_EQ(parts.licence, platform.readFile(kLicence));
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(ScriptHeaderTest, OptionsKeepOnlyTheirFirstCharacter) {
    ScriptParts parts;
    parts.licenceOption = "";
    parts.uninstallOption = "0" + std::string(150, '1');  // longer than a 99-byte read
    ASSERT_TRUE(read(parts.build()));
    EXPECT_STREQ("", state.licenceOption);
    EXPECT_STREQ("0", state.uninstallOption);
}

TEST_F(ScriptHeaderTest, TotalSizeIsAnUnsignedByteCountInKilobytes) {
    const std::pair<std::string, uint32_t> cases[] = {
        {"1023", 0},
        {"1024", 1},
        {"  4096 bytes", 4},
        {"", 0},
        {"abc", 0},
        {"3000000000", 2929687},  // beyond the signed range, still a size
        {"4294967295", 4194303},
    };
    for (const auto& c : cases) {
        ScriptParts parts;
        parts.totalSize = c.first;
        ASSERT_TRUE(read(parts.build()));
        EXPECT_EQ(c.second, state.totalSizeKb) << c.first;
    }
}

TEST_F(ScriptHeaderTest, LicenceIsTheScriptsTailOrEmpty) {
    ScriptParts parts;
    parts.licence = "";
    ASSERT_TRUE(read(parts.build()));
    EXPECT_TRUE(platform.exists(kLicence));
    EXPECT_EQ("", platform.readFile(kLicence));

    // A length that cannot be a tail of the script gives an empty licence,
    // never bytes from before the start of the file. The length is a number
    // field: only its first 20 bytes count.
    const std::pair<std::string, std::string> cases[] = {
        {"-5", ""},
        {"999999", ""},
        {field("1") + "2", ">"},
    };
    for (const auto& c : cases) {
        ScriptParts wrong;
        wrong.licenceLengthLine = c.first;
        platform.writeFile(kLicence, "stale");
        ASSERT_TRUE(read(wrong.build()));
        EXPECT_EQ(c.second, platform.readFile(kLicence)) << c.first;
    }

    // The whole script as its own licence.
    ScriptParts whole;
    whole.licenceLengthLine = std::string(10, ' ');
    std::string size = std::to_string(whole.build().size());
    whole.licenceLengthLine = size + std::string(10 - size.size(), ' ');
    ASSERT_TRUE(read(whole.build()));
    EXPECT_EQ(whole.build(), platform.readFile(kLicence));
}

TEST_F(ScriptHeaderTest, LicenceFileThatCannotBeCreatedIsReported) {
    platform.failOpens.insert(kLicence);
    ScriptParts parts;
    ASSERT_TRUE(read(parts.build()));
    ASSERT_EQ(1u, platform.messageBoxes.size());
    EXPECT_EQ(nullptr, platform.messageBoxes[0].owner);
    EXPECT_EQ(kLicence, platform.messageBoxes[0].text);
    EXPECT_EQ(gbk(u8"创建该文件时出错"), platform.messageBoxes[0].caption);
    EXPECT_EQ(kMbOk, platform.messageBoxes[0].style);
    EXPECT_EQ(parts.product, state.productName);  // the rest is read all the same
}

TEST_F(ScriptHeaderTest, MissingScriptOrSections) {
    EXPECT_FALSE(readScriptHeader(platform, platform.user(), state));

    // No [TotalSize]: no size and an empty licence; the header lines remain.
    ASSERT_TRUE(read("line 1\r\nName\r\nC:\\Dir\r\n1\r\n"));
    EXPECT_EQ(0u, state.totalSizeKb);
    EXPECT_EQ("", platform.readFile(kLicence));
    EXPECT_STREQ("Name", state.productName);
    EXPECT_STREQ("C:\\Dir", state.installDir);
    EXPECT_STREQ("1", state.licenceOption);
    EXPECT_STREQ("", state.uninstallOption);
}

TEST_F(ScriptHeaderTest, CopyFileTailCopiesInBlocksAndReportsWriteFailures) {
    std::string source;
    for (int i = 0; i < 3000; ++i) source += static_cast<char>(i * 31);
    platform.writeFile("C:\\src.bin", source);
    File file = platform.openFile("C:\\src.bin", FileMode::Read);
    ASSERT_TRUE(copyFileTail(platform, platform.user(), file, "C:\\TEMP\\t1", 100, 2500));
    EXPECT_EQ(source.substr(100, 2500), platform.readFile("C:\\TEMP\\t1"));
    // A source that ends early ends the copy.
    ASSERT_TRUE(copyFileTail(platform, platform.user(), file, "C:\\TEMP\\t2", 2900, 500));
    EXPECT_EQ(source.substr(2900), platform.readFile("C:\\TEMP\\t2"));
    EXPECT_TRUE(file.isOpen());

    platform.failWrites.insert("C:\\TEMP\\t3");
    EXPECT_FALSE(copyFileTail(platform, platform.user(), file, "C:\\TEMP\\t3", 0, 10));
    ASSERT_EQ(1u, platform.messageBoxes.size());
    EXPECT_EQ("C:\\TEMP\\t3", platform.messageBoxes[0].text);
}

#if defined(__GLIBC__)
TEST(CopyFileTail, FailureFoundAtTheCloseIsReported) {
    FakePlatform platform;
    platform.writesFailAtClose = true;  // a disk that fills up after the bytes left us
    platform.writeFile("C:\\src.bin", "licence text");
    File source = platform.openFile("C:\\src.bin", FileMode::Read);
    EXPECT_FALSE(copyFileTail(platform, platform.user(), source, kLicence, 0, 12));
    ASSERT_EQ(1u, platform.messageBoxes.size());
    EXPECT_EQ(kLicence, platform.messageBoxes[0].text);
}
#endif

class PackageHeaderTest : public ScriptHeaderTest {
  protected:
    LzssDecoder decoder{platform, state, platform.user()};

    void SetUp() override {
        ScriptHeaderTest::SetUp();
        std::snprintf(state.packagePath, sizeof state.packagePath, "%s", platform.module.c_str());
        state.packageOffset = kPackageStart;
    }
    void writeSetup(const std::string& package) {
        platform.writeFile(platform.module, std::string(kPackageStart, 'S') + package);
    }
};

TEST_F(PackageHeaderTest, UnpacksTheScriptAndFindsTheRecordBase) {
    // A script of 888 bytes as literals is 999 stream bytes; a last flag
    // byte with nothing after it makes 1000. The picture stream follows the
    // script directly, at 0x43410, which is offset 40 from the record base.
    std::string script =
        "[Directory]\r\n[File]\r\n" + recordLine("Wel.Bmp", 40, 3) + "[TotalSize]\r\n";
    script = std::string(888 - script.size() - 2, 'p') + "\r\n" + script;
    std::string stream = literalStream(script) + '\xFF';
    ASSERT_EQ(1000u, stream.size());
    std::string picture =
        "\x03"
        "BM";  // two literals
    writeSetup(field("1000") + field("17") + stream + picture + "rest");

    ASSERT_TRUE(readPackageHeader(platform, state, decoder));
    EXPECT_EQ(17, state.fileCount);
    EXPECT_EQ(0x433E8, state.packageOffset);
    EXPECT_EQ(script, platform.readFile(kScript));

    File scriptFile = platform.openFile(kScript, FileMode::Read);
    ASSERT_TRUE(seekSection(scriptFile, format::kSectionFile));
    FileRecord record;
    ASSERT_TRUE(readFileRecord(scriptFile, state.packageOffset, &record));
    EXPECT_EQ(0x43410, record.offset);
    File package = platform.openFile(state.packagePath, FileMode::Read);
    ASSERT_TRUE(decoder.decodeStream(&package, "C:\\TEMP\\w.bmp", record.offset, record.length));
    EXPECT_EQ("BM", platform.readFile("C:\\TEMP\\w.bmp"));
}

TEST_F(PackageHeaderTest, MissingOrShortHeaderReadsAsEmptyFields) {
    // A stub with no package: an empty script, no records.
    writeSetup("");
    state.fileCount = 99;
    ASSERT_TRUE(readPackageHeader(platform, state, decoder));
    EXPECT_EQ(0, state.fileCount);
    EXPECT_EQ(kPackageStart, state.packageOffset);
    EXPECT_TRUE(platform.exists(kScript));
    EXPECT_EQ("", platform.readFile(kScript));

    // A header cut short in its second field: the bytes that are there count.
    state.packageOffset = kPackageStart;
    writeSetup(field("0") + "12   ");
    ASSERT_TRUE(readPackageHeader(platform, state, decoder));
    EXPECT_EQ(12, state.fileCount);

    platform.failOpens.insert(platform.module);
    EXPECT_FALSE(readPackageHeader(platform, state, decoder));
}

}  // namespace
}  // namespace kestrova
