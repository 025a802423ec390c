// The folder page's decisions: drive entries, the required-space line, the
// default folder's tail and the composed path, GBK path walking, and the
// order of folder names.
#include "folders/folder_paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bubble_sort_no_case.h"
#include "fake_platform.h"
#include "folders/drive_survey.h"
#include "folders/name_list.h"
#include "folders/sort_no_case.h"

namespace kestrova {
namespace {

std::string entry(char letter, uint64_t megabytes) {
    char text[64];
    EXPECT_TRUE(driveEntryText(letter, megabytes, text, sizeof text));
    return text;
}

TEST(FolderPaths, DriveEntriesAndSurvey) {
    // The full-width colon is GBK A3 BA, followed by one ASCII space.
    EXPECT_EQ(
        "\xB4\xC5\xC5\xCC"
        "C\xA3\xBA 10240 MB \xBF\xD5\xBC\xE4",
        entry('C', 10240));
    EXPECT_EQ("磁盘D： 0 MB 空间", entry('D', wholeMegabytes(1048575)));
    EXPECT_EQ("磁盘E： 10240 MB 空间", entry('E', wholeMegabytes(10ull << 30)));
    EXPECT_EQ("磁盘F： 18446744073709551615 MB 空间", entry('F', ~0ull));
    char small[8] = "keep";
    EXPECT_FALSE(driveEntryText('C', 1, small, sizeof small));
    EXPECT_STREQ("keep", small);
    EXPECT_EQ('E', driveLetterOfEntry(entry('E', 5).c_str()));
    EXPECT_EQ(0, driveLetterOfEntry("磁盘"));

    test::FakePlatform platform;
    platform.drives = 0x7F;  // A: to G:
    platform.driveTypes = {{"A:\\", kDriveRemovable}, {"B:\\", kDriveRemovable},
                           {"D:\\", kDriveCdRom},     {"E:\\", kDriveRemote},
                           {"F:\\", kDriveRamDisk},   {"G:\\", kDriveFixed}};
    platform.diskFree = {{"A:\\", 1ull << 30}, {"C:\\", (10ull << 30) + 5}, {"G:\\", 1048575}};
    SurveyedDrive drives[kMaxDrives];
    ASSERT_EQ(3u, surveyDrives(platform, drives, kMaxDrives));
    // B: has no medium: listed, with 0.
    EXPECT_EQ('B', drives[0].letter);
    EXPECT_EQ(0u, drives[0].freeMegabytes);
    EXPECT_EQ('C', drives[1].letter);
    EXPECT_EQ(10240u, drives[1].freeMegabytes);
    EXPECT_EQ('G', drives[2].letter);
    EXPECT_EQ(0u, drives[2].freeMegabytes);
    EXPECT_EQ(1u, surveyDrives(platform, drives, 1));
}

TEST(FolderPaths, RequiredSpaceLine) {
    char line[128];
    ASSERT_TRUE(requiredSpaceLine(0, line, sizeof line));
    EXPECT_STREQ("安装此软件至少需要 0.00 MB 的磁盘空间！", line);
    ASSERT_TRUE(requiredSpaceLine(1536, line, sizeof line));
    EXPECT_STREQ("安装此软件至少需要 1.50 MB 的磁盘空间！", line);
    // 1.125 exactly: the half goes up.
    ASSERT_TRUE(requiredSpaceLine(1152, line, sizeof line));
    EXPECT_STREQ("安装此软件至少需要 1.13 MB 的磁盘空间！", line);
    ASSERT_TRUE(requiredSpaceLine(1029, line, sizeof line));  // 1.0048...
    EXPECT_STREQ("安装此软件至少需要 1.00 MB 的磁盘空间！", line);
    ASSERT_TRUE(requiredSpaceLine(4294967295u, line, sizeof line));
    EXPECT_STREQ("安装此软件至少需要 4194304.00 MB 的磁盘空间！", line);
    char small[20] = "keep";
    EXPECT_FALSE(requiredSpaceLine(1, small, sizeof small));
    EXPECT_STREQ("keep", small);
}

struct Derived {
    std::string name;
    bool under;
};

Derived derive(const char* installDir, const char* programFiles = "C:\\Program Files") {
    char name[500];
    bool under = true;
    EXPECT_TRUE(deriveDefaultFolderName(installDir, programFiles, name, sizeof name, &under));
    return {name, under};
}

std::string compose(const char* selected, const char* name, bool under) {
    char path[kComposedPathSize] = "unchanged";
    composeInstallPath(selected, name, under, "C:\\Program Files", path, sizeof path);
    return path;
}

TEST(FolderPaths, DefaultFolderNameAndComposedPath) {
    Derived d = derive("C:\\Program Files\\Tools\\Viewer");
    EXPECT_EQ("Tools\\Viewer", d.name);
    EXPECT_TRUE(d.under);
    d = derive("D:\\Apps\\Viewer");
    EXPECT_EQ("Apps\\Viewer", d.name);
    EXPECT_FALSE(d.under);
    d = derive("c:\\program files\\Viewer");  // the comparison keeps case
    EXPECT_EQ("program files\\Viewer", d.name);
    EXPECT_FALSE(d.under);
    // A folder whose name only begins like Program Files is not in it.
    d = derive("C:\\Program Files2\\Viewer");
    EXPECT_EQ("Program Files2\\Viewer", d.name);
    EXPECT_FALSE(d.under);
    // No tail: Program Files itself, a drive root, a short or empty path.
    d = derive("C:\\Program Files");
    EXPECT_EQ("", d.name);
    EXPECT_TRUE(d.under);
    EXPECT_EQ("", derive("D:\\").name);
    EXPECT_EQ("", derive("D:").name);
    EXPECT_EQ("", derive("").name);
    EXPECT_FALSE(derive("C:\\Program Files\\X", "").under);  // no Program Files known
    char small[4] = "old";
    bool under = false;
    EXPECT_FALSE(
        deriveDefaultFolderName("D:\\Apps", "C:\\Program Files", small, sizeof small, &under));
    EXPECT_STREQ("", small);

    EXPECT_EQ("D:\\Program Files\\Tools\\Viewer", compose("D:", "Tools\\Viewer", true));
    EXPECT_EQ("D:\\Apps\\Tools\\Viewer", compose("D:\\Apps", "Tools\\Viewer", true));
    EXPECT_EQ("D:\\Data\\Tools\\Viewer", compose("D:\\Data", "Tools\\Viewer", true));
    EXPECT_EQ("E:\\Apps\\Viewer", compose("E:", "Apps\\Viewer", false));
    EXPECT_EQ("E:", compose("E:", "", false));  // no trailing backslash
    EXPECT_EQ("E:\\Program Files", compose("E:", "", true));
    EXPECT_EQ("unchanged", compose("", "Apps", false));  // nothing selected
    // Too long for the composed path's buffer: the edit keeps its text.
    const std::string deep = "D:\\" + std::string(290, 'x');
    EXPECT_EQ("unchanged", compose(deep.c_str(), "Tools\\Viewer", true));
    EXPECT_EQ(deep, compose(deep.c_str(), "", true));
}

TEST(FolderPaths, GbkPathWalking) {
    // 乗 is 81 5C and 乤 is 81 61: their second bytes are neither a
    // separator nor a letter.
    char path[64] = "";
    ASSERT_TRUE(prependPathPart(path, sizeof path, "Data"));
    ASSERT_TRUE(prependPathPart(path, sizeof path, "乗"));
    ASSERT_TRUE(prependPathPart(path, sizeof path, "C:"));
    EXPECT_STREQ("C:\\乗\\Data", path);
    EXPECT_FALSE(prependPathPart(path, 12, "Apps"));
    EXPECT_STREQ("C:\\乗\\Data", path);
    EXPECT_STREQ("Data", lastPathComponent(path));
    EXPECT_STREQ("乗", lastPathComponent("D:\\乗"));
    EXPECT_STREQ("D:", lastPathComponent("D:"));
    EXPECT_TRUE(endsWithSeparator("D:\\"));
    EXPECT_FALSE(endsWithSeparator("D:\\乗"));
    EXPECT_FALSE(endsWithSeparator(""));

    char text[] = "d:\\apps\\乤x乗";
    upperAsciiLetters(text);
    EXPECT_STREQ("D:\\APPS\\乤X乗", text);

    const char* cursor = "D:\\\\乗\\乤b\\";
    std::vector<std::string> parts;
    char component[16];
    while (nextPathComponent(&cursor, component, sizeof component)) parts.push_back(component);
    EXPECT_EQ((std::vector<std::string>{"D:", "乗", "乤b"}), parts);
    cursor = "D:\\a-name-much-too-long";
    EXPECT_TRUE(nextPathComponent(&cursor, component, sizeof component));
    EXPECT_FALSE(nextPathComponent(&cursor, component, sizeof component));
    EXPECT_STREQ("", component);
}

// Random names of ASCII letters, digits, '_' and GBK characters (Chinese,
// and full-width letters of both cases), so equal-comparing names of
// different case test stability.
std::string randomName(std::mt19937& random) {
    static const char* const pieces[] = {"a",  "A",  "b",  "B",  "z",  "Z",  "_", "0", "9", " ",
                                         "中", "文", "乗", "乤", "ａ", "Ａ", "α", "Α", "я", "Я"};
    std::string name;
    const int length = 1 + static_cast<int>(random() % 5);
    for (int i = 0; i < length; ++i) name += pieces[random() % (sizeof pieces / sizeof *pieces)];
    return name;
}

std::vector<std::string> sorted(std::vector<const char*> items, NameSort sort) {
    std::vector<const char*> scratch(items.size());
    sort(items.data(), scratch.data(), items.size());
    return {items.begin(), items.end()};
}

TEST(FolderPaths, SortOrderMatchesBubbleSort) {
    EXPECT_EQ((std::vector<std::string>{"_Temp", "apple", "Banana", "cherry", "Zip", "中文"}),
              sorted({"Zip", "中文", "cherry", "_Temp", "Banana", "apple"}, sortNoCase));
    EXPECT_LT(compareNoCase("ab", "abc"), 0);  // the end of a text first
    EXPECT_EQ(0, compareNoCase("ＡＢ", "ａｂ"));
    EXPECT_EQ(0, compareNoCase("Я", "я"));
    EXPECT_LT(compareNoCase("z", "乗"), 0);

    std::mt19937 random(12);
    for (std::size_t size : {0u, 1u, 2u, 3u, 17u, 64u, 1000u}) {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < size; ++i) names.push_back(randomName(random));
        std::vector<const char*> items;
        for (const std::string& n : names) items.push_back(n.c_str());
        // Pointers, not texts: equal names must also keep their order.
        std::vector<const char*> merged(items), bubbled(items), scratch(items.size());
        sortNoCase(merged.data(), scratch.data(), merged.size());
        test::bubbleSortNoCase(bubbled.data(), nullptr, bubbled.size());
        EXPECT_EQ(bubbled, merged) << size << " names";
    }

    // The tree's list of names: grows past its first pool and keeps order.
    NameList list;
    std::vector<std::string> names;
    for (int i = 0; i < 1200; ++i) {
        names.push_back(randomName(random) + std::to_string(i));
        ASSERT_TRUE(list.add(names.back().c_str()));
    }
    ASSERT_TRUE(list.sort(sortNoCase));
    std::vector<const char*> items;
    for (const std::string& n : names) items.push_back(n.c_str());
    std::vector<std::string> expected = sorted(items, test::bubbleSortNoCase);
    ASSERT_EQ(expected.size(), list.count());
    for (std::size_t i = 0; i < list.count(); ++i) ASSERT_EQ(expected[i], list[i]) << i;
}

}  // namespace
}  // namespace kestrova
