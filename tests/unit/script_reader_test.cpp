// Number fields, script lines, section search and [File] records.
#include "package/script_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "fake_platform.h"
#include "package/number_field.h"

namespace kestrova {
namespace {

using test::FakePlatform;

// A 20-byte field from a text, padded with `pad`.
std::string field(const std::string& text, char pad = ' ') {
    std::string f = text;
    f.resize(20, pad);
    return f;
}

TEST(NumberField, ReadsPaddedDecimalFields) {
    struct Case {
        std::string bytes;
        int32_t value;
    };
    const Case cases[] = {
        {field("123"), 123},
        {field("                 123"), 123},
        {field(""), 0},
        {field("", '\0'), 0},
        {std::string("\0"
                     "123",
                     4) +
             std::string(16, ' '),
         0},  // a first NUL ends it
        {std::string("45\0"
                     "99",
                     5) +
             std::string(15, ' '),
         45},
        {field("-42"), -42},
        {field("+42"), 42},
        {field("\t 7"), 7},
        {field("12ab34"), 12},
        {field("abc"), 0},
        {field("- 5"), 0},
        {field("2147483647"), 2147483647},
        {field("-2147483648"), INT32_MIN},
        // Beyond 32 bits the value wraps modulo 2^32.
        {field("4294967295"), -1},
        {field("4294967296"), 0},
        {field("99999999999999999999"), 1661992959},
    };
    for (const Case& c : cases) EXPECT_EQ(c.value, parseNumberField(c.bytes.data())) << c.bytes;
}

TEST(NumberField, NeverReadsBeyondItsWidth) {
    // Twenty digits and no NUL: the field ends at its width, wherever the
    // following bytes are.
    std::string bytes =
        "00000000000000000012"
        "345";
    EXPECT_EQ(12, parseNumberField(bytes.data()));
    EXPECT_EQ(1, parseNumberField("12345", 1));
    EXPECT_EQ(0, parseNumberField("12345", 0));
    EXPECT_EQ(12345, parseDecimal("12345\r\n", 7));
}

TEST(NumberField, TrimsTrailingSpacesOnly) {
    char text[] = " a b \t  ";
    EXPECT_EQ(6u, trimTrailingSpaces(text));
    EXPECT_STREQ(" a b \t", text);
    char spaces[] = "    ";
    EXPECT_EQ(0u, trimTrailingSpaces(spaces));
    EXPECT_STREQ("", spaces);
}

class ScriptTest : public ::testing::Test {
  protected:
    FakePlatform platform;
    File open(const std::string& content) {
        platform.writeFile("C:\\TEMP\\script.ini", content);
        return platform.openFile("C:\\TEMP\\script.ini", FileMode::Read);
    }
};

TEST_F(ScriptTest, SectionLineMustMatchExactly) {
    File script = open(
        "[File] \r\n"
        "[file]\r\n"
        "[File]\n"
        "x[File]\r\n"
        "[File]\r\n"
        "next line\r\n");
    ASSERT_TRUE(seekSection(script, "[File]\r\n"));
    char line[100];
    EXPECT_EQ(11, readScriptLine(script, line, sizeof line));
    EXPECT_STREQ("next line\r\n", line);
    // Not found: the script is left at its end.
    EXPECT_FALSE(seekSection(script, "[Run]\r\n"));
    EXPECT_EQ(-1, readScriptLine(script, line, sizeof line));
}

TEST_F(ScriptTest, SectionSearchReadsLongLinesInPieces) {
    // A 479-byte read cuts this line so that its tail is a section line on
    // its own; a line that fits whole does not match.
    File script = open(std::string(479, 'x') + "[Menu]\r\n" + std::string(470, 'y') + "[Run]\r\n" +
                       "after\r\n");
    ASSERT_TRUE(seekSection(script, "[Menu]\r\n"));
    EXPECT_FALSE(seekSection(script, "[Run]\r\n"));
}

TEST_F(ScriptTest, LinesAreReadWithinTheLimit) {
    File script = open(std::string(450, 'a') + "\r\n" + "short\r\n" + "no end");
    char line[400];
    EXPECT_EQ(399, readTextLine(script, line));  // the first piece keeps all its text
    EXPECT_EQ(std::string(399, 'a'), line);
    EXPECT_EQ(51, readTextLine(script, line));  // the rest, without its CR LF
    EXPECT_EQ(5, readTextLine(script, line));
    EXPECT_STREQ("short", line);
    EXPECT_EQ(6, readTextLine(script, line));
    EXPECT_STREQ("no end", line);
    EXPECT_EQ(-1, readTextLine(script, line));
    EXPECT_STREQ("", line);

    char option[100];
    File options = open(std::string(120, '1') + "\r\n");
    EXPECT_EQ(99, readScriptLine(options, option, sizeof option));
}

TEST_F(ScriptTest, LineEndsAreRemovedOnlyWhenPresent) {
    char a[] = "text\r\n", b[] = "x", c[] = "", d[] = "\r\n", e[] = "lf\n";
    EXPECT_EQ(4, removeLineEnd(a, 6));
    EXPECT_STREQ("text", a);
    EXPECT_EQ(1, removeLineEnd(b, 1));
    EXPECT_EQ(0, removeLineEnd(c, 0));
    EXPECT_EQ(0, removeLineEnd(d, 2));
    EXPECT_EQ(2, removeLineEnd(e, 3));
    EXPECT_STREQ("lf", e);
}

std::string recordLine(const std::string& path, const std::string& offset,
                       const std::string& length, char kind) {
    std::string line = path;
    line.resize(268, ' ');
    return line + field(offset) + field(length) + kind + "\r\n";
}

TEST_F(ScriptTest, ReadsFileRecords) {
    const int32_t base = 0x433E8;  // a script stream of 1000 bytes
    File script = open(recordLine("[InstallDir]\\a b.exe", "40", "1234", '1') +
                       recordLine("C:\\x.txt", "  77", "0", '4'));
    FileRecord record;
    ASSERT_TRUE(readFileRecord(script, base, &record));
    EXPECT_STREQ("[InstallDir]\\a b.exe", record.path);
    EXPECT_EQ(0x43410, record.offset);  // the stream right after the script
    EXPECT_EQ(1234, record.length);
    EXPECT_EQ('1', record.kind);
    ASSERT_TRUE(readFileRecord(script, base, &record));
    EXPECT_STREQ("C:\\x.txt", record.path);
    EXPECT_EQ(base + 77, record.offset);
    EXPECT_EQ(0, record.length);
    EXPECT_EQ('4', record.kind);
    EXPECT_FALSE(readFileRecord(script, base, &record));
    EXPECT_STREQ("", record.path);
    EXPECT_EQ(0, record.length);
}

TEST_F(ScriptTest, ShortRecordLinesReadAsAbsentFields) {
    FileRecord record;
    std::string full = recordLine("C:\\p", "40", "99", '2');
    // Cut at every interesting place: in the path, in each field, before
    // the kind. Copying into an exact-size buffer lets the sanitizer see any
    // read beyond the line.
    struct Case {
        std::size_t cut;
        const char* path;
        int32_t offset, length;
        char kind;
    };
    const Case cases[] = {
        {0, "", 0, 0, '\0'},         {3, "C:\\", 0, 0, '\0'},     {268, "C:\\p", 0, 0, '\0'},
        {270, "C:\\p", 40, 0, '\0'}, {289, "C:\\p", 40, 9, '\0'}, {308, "C:\\p", 40, 99, '\0'},
        {309, "C:\\p", 40, 99, '2'},
    };
    for (const Case& c : cases) {
        std::string line = full.substr(0, c.cut) + "\r\n";
        std::unique_ptr<char[]> exact(new char[line.size()]);
        std::memcpy(exact.get(), line.data(), line.size());
        parseFileRecord(exact.get(), static_cast<int>(line.size()), 1000, &record);
        EXPECT_STREQ(c.path, record.path) << c.cut;
        EXPECT_EQ(1000 + c.offset, record.offset) << c.cut;
        EXPECT_EQ(c.length, record.length) << c.cut;
        EXPECT_EQ(c.kind, record.kind) << c.cut;
    }
}

TEST_F(ScriptTest, OverlongRecordLineIsSplitByTheReadLimit) {
    // 399 bytes are read; the rest becomes the next line.
    std::string line = recordLine("C:\\long", "40", "5", '0');
    line.insert(311 - 2, std::string(100, 'z'));
    File script = open(line + recordLine("C:\\next", "60", "6", '0'));
    FileRecord record;
    ASSERT_TRUE(readFileRecord(script, 0, &record));
    EXPECT_STREQ("C:\\long", record.path);
    EXPECT_EQ('0', record.kind);
    ASSERT_TRUE(readFileRecord(script, 0, &record));
    EXPECT_EQ(std::string(10, 'z'), record.path);
    ASSERT_TRUE(readFileRecord(script, 0, &record));
    EXPECT_STREQ("C:\\next", record.path);
}

}  // namespace
}  // namespace kestrova
