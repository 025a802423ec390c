// Registry data files: key lines, value lines, the lines that are skipped,
// and the key-path walk that opens or creates each level.
#include "engine/registry_import.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"
#include "gbk.h"

namespace kestrova {
namespace {

using test::FakePlatform;
using test::gbk;

const char kFile[] = "C:\\TEMP\\data.reg";

// How the fake names a key: the root's number, a backslash and the path.
std::string keyName(RegKey root, const std::string& path) {
    return std::to_string(root) + "\\" + path;
}

class RegistryImportTest : public ::testing::Test {
  protected:
    // Imports the bytes as a registry data file.
    void import(const std::string& bytes) {
        platform.writeFile(kFile, bytes);
        EXPECT_TRUE(importRegistryFile(platform, kFile));
        EXPECT_EQ(0, platform.openKeyCount()) << "a key handle was left open";
    }
    std::string value(RegKey root, const std::string& path, const std::string& name) {
        std::string data;
        if (!platform.getValue(root, path, name, &data)) return "<missing>";
        return data;
    }

    FakePlatform platform;
};

TEST_F(RegistryImportTest, WritesEachValueByteForByteUnderEveryRoot) {
    import(
        gbk(u8"[HKEY_CURRENT_USER\\Software\\开发商\\工具]\r\n"
            u8"\"路径\"=\"C:\\Tools\\new\\中文\"\r\n"
            u8"\"\"=\"默认\"\r\n"
            u8"\"Quote\"=\"say \"hi\" = \"x\"\"\r\n"
            u8"\"Empty\"=\"\"\r\n"
            u8"\r\n"
            u8"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Tool]\r\n"
            u8"\"Path\"=\"C:\\Tools\"\r\n"
            u8"[HKEY_CLASSES_ROOT\\.kst]\r\n"
            u8"\"\"=\"Kestrova.Document\"\r\n"
            u8"[HKEY_USERS\\.DEFAULT\\Kestrova]\r\n"
            u8"\"A\"=\"1\"\r\n"
            u8"[HKEY_CURRENT_CONFIG\\Software\\Kestrova]\r\n"
            u8"\"B\"=\"2\"\r\n"));

    const std::string tool = gbk(u8"Software\\开发商\\工具");
    EXPECT_EQ(gbk(u8"C:\\Tools\\new\\中文"), value(kHkeyCurrentUser, tool, gbk(u8"路径")));
    EXPECT_EQ(gbk(u8"默认"), value(kHkeyCurrentUser, tool, ""));
    EXPECT_EQ("say \"hi\" = \"x\"", value(kHkeyCurrentUser, tool, "Quote"));
    EXPECT_EQ("", value(kHkeyCurrentUser, tool, "Empty"));
    EXPECT_EQ("C:\\Tools", value(kHkeyLocalMachine, "SOFTWARE\\Vendor\\Tool", "Path"));
    EXPECT_EQ("Kestrova.Document", value(kHkeyClassesRoot, ".kst", ""));
    EXPECT_EQ("1", value(kHkeyUsers, ".DEFAULT\\Kestrova", "A"));
    EXPECT_EQ("2", value(kHkeyCurrentConfig, "Software\\Kestrova", "B"));
}

TEST_F(RegistryImportTest, TheLastCharacterOfAValueLineIsDropped) {
    import(
        gbk(u8"[HKEY_CURRENT_USER\\K]\r\n"
            u8"\"Open\"=\"xyz\r\n"
            u8"\"Wide\"=\"中文\r\n"
            u8"\"Tail\"=\"ab\"c\r\n"));
    EXPECT_EQ("xy", value(kHkeyCurrentUser, "K", "Open"));
    // A two-byte character is dropped whole, never split.
    EXPECT_EQ(gbk(u8"中"), value(kHkeyCurrentUser, "K", "Wide"));
    EXPECT_EQ("ab\"", value(kHkeyCurrentUser, "K", "Tail"));
}

TEST_F(RegistryImportTest, KeyLinesOpenExistingLevelsAndCreateMissingOnesTopDown) {
    platform.setValue(kHkeyCurrentUser, "Software\\Old", "Kept", "yes");
    platform.setValue(kHkeyCurrentUser, "Software", "Top", "also");
    import(
        "[HKEY_CURRENT_USER\\Software\\Old]\r\n"
        "[HKEY_CURRENT_USER\\Software\\Old\\New\\Leaf]\r\n"
        "\"V\"=\"1\"\r\n"
        "[HKEY_CURRENT_USER\\Software\\\\Doubled\\]\r\n"
        "\"W\"=\"2\"\r\n");

    // The first of two key lines in a row is opened all the same; values go
    // to the second.
    EXPECT_EQ("yes", value(kHkeyCurrentUser, "Software\\Old", "Kept"));
    EXPECT_EQ("also", value(kHkeyCurrentUser, "Software", "Top"));
    EXPECT_EQ("<missing>", value(kHkeyCurrentUser, "Software\\Old", "V"));
    EXPECT_EQ("1", value(kHkeyCurrentUser, "Software\\Old\\New\\Leaf", "V"));
    EXPECT_EQ("2", value(kHkeyCurrentUser, "Software\\Doubled", "W"));
    const std::vector<std::string> created = {
        keyName(kHkeyCurrentUser, "Software\\Old\\New"),
        keyName(kHkeyCurrentUser, "Software\\Old\\New\\Leaf"),
        keyName(kHkeyCurrentUser, "Software\\Doubled"),
    };
    EXPECT_EQ(created, platform.createdKeys);
}

TEST_F(RegistryImportTest, AKeyNameWhoseTrailByteIsABackslashStaysOneLevel) {
    // In GBK the character 淺 is the bytes 9C 5C: its second byte is a
    // backslash, which must not split the level.
    const std::string name = gbk(u8"淺色");
    ASSERT_EQ('\\', name[1]);
    import(gbk(u8"[HKEY_CURRENT_USER\\Software\\淺色\\子]\r\n\"V\"=\"1\"\r\n"));
    const std::vector<std::string> created = {
        keyName(kHkeyCurrentUser, "Software"),
        keyName(kHkeyCurrentUser, "Software\\" + name),
        keyName(kHkeyCurrentUser, "Software\\" + name + "\\" + gbk(u8"子")),
    };
    EXPECT_EQ(created, platform.createdKeys);
}

TEST_F(RegistryImportTest, LinesTheFormatDoesNotProvideForAreSkipped) {
    import(
        "REGEDIT4\r\n"
        "\"Early\"=\"before any key\"\r\n"
        "[HKEY_CURRENT_USER\\Good]\r\n"
        "\"A\"=\"1\"\r\n"
        "\"NeverCloses=x\r\n"
        "\"NoEquals\" \"x\"\r\n"
        "\"Short\"=\"\r\n"
        "Bare=\"x\"\r\n"
        // Each bad key line leaves no current key: the value after it must
        // not land in Good.
        "[HKEY_CURRENT_USER]\r\n"
        "\"B1\"=\"x\"\r\n"
        "[HKEY_NOWHERE\\Software\\X]\r\n"
        "\"B2\"=\"x\"\r\n"
        "[HKEY_CURRENT_USER\\]\r\n"
        "\"B3\"=\"x\"\r\n"
        "[HKEY_CURRENT_USER\\NoBracket\r\n"
        "\"B4\"=\"x\"\r\n"
        "[HKEY_CURRENT_USER\\Good]\r\n"
        "\"C\"=\"3\"\r\n");

    EXPECT_EQ("1", value(kHkeyCurrentUser, "Good", "A"));
    EXPECT_EQ("3", value(kHkeyCurrentUser, "Good", "C"));
    for (const char* name :
         {"Early", "NeverCloses=x", "NoEquals", "Short", "B1", "B2", "B3", "B4"}) {
        EXPECT_EQ("<missing>", value(kHkeyCurrentUser, "Good", name)) << name;
    }
    EXPECT_EQ(std::vector<std::string>{keyName(kHkeyCurrentUser, "Good")}, platform.createdKeys);
}

TEST_F(RegistryImportTest, LineEndsAndLongLines) {
    const std::string longData(480, 'd');
    import(
        "[HKEY_CURRENT_USER\\K]\n"  // a bare LF ends a line as well
        "\"Lf\"=\"1\"\n"
        "\"Long\"=\"" +
        longData +
        "\"\r\n"
        "\"After\"=\"2\"\r\n"
        "\"Unfinished\"=\"3\"");
    EXPECT_EQ("1", value(kHkeyCurrentUser, "K", "Lf"));
    // A line over 479 bytes is skipped whole instead of stored shortened.
    EXPECT_EQ("<missing>", value(kHkeyCurrentUser, "K", "Long"));
    EXPECT_EQ("2", value(kHkeyCurrentUser, "K", "After"));
    // The last line has no line end and is not applied.
    EXPECT_EQ("<missing>", value(kHkeyCurrentUser, "K", "Unfinished"));

    // A line of exactly 479 bytes, CR LF included, is applied.
    const std::string fits(479 - 11, 'f');  // "Fits"="...", quote, CR LF
    import("[HKEY_CURRENT_USER\\K]\r\n\"Fits\"=\"" + fits + "\"\r\n");
    EXPECT_EQ(fits, value(kHkeyCurrentUser, "K", "Fits"));
}

TEST_F(RegistryImportTest, EmptyAndMissingFilesChangeNothing) {
    import("\r\n\r\n\r\n");
    import("");
    EXPECT_TRUE(platform.createdKeys.empty());
    EXPECT_FALSE(importRegistryFile(platform, "C:\\TEMP\\missing.reg"));
    EXPECT_TRUE(platform.createdKeys.empty());
}

TEST_F(RegistryImportTest, TheWalkTakesARootAndAKeyPath) {
    const char shellFolders[] =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    RegKey key = 0;
    ASSERT_TRUE(openKeyPathLevels(platform, kHkeyLocalMachine, shellFolders, kKeyAllAccess, &key));
    EXPECT_EQ(1, platform.openKeyCount());
    char buffer[200];
    uint32_t size = sizeof buffer;
    EXPECT_TRUE(platform.regQueryValue(key, "Common Startup", buffer, &size));
    platform.regCloseKey(key);
    EXPECT_TRUE(platform.createdKeys.empty());

    platform.deleteKey(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer");
    ASSERT_TRUE(openKeyPathLevels(platform, kHkeyLocalMachine, shellFolders, kKeyAllAccess, &key));
    platform.regCloseKey(key);
    EXPECT_EQ(0, platform.openKeyCount());
    const std::vector<std::string> created = {
        keyName(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer"),
        keyName(kHkeyLocalMachine, shellFolders),
    };
    EXPECT_EQ(created, platform.createdKeys);

    key = 0;
    EXPECT_FALSE(openKeyPathLevels(platform, kHkeyLocalMachine, "\\\\", kKeyWrite, &key));
    EXPECT_EQ(0u, key);
    EXPECT_FALSE(openRegistryKeyPath(platform, "[HKEY_LOCAL_MACHINE\\]", &key));
    EXPECT_EQ(0, platform.openKeyCount());
}

}  // namespace
}  // namespace kestrova
