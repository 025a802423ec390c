// GBK <-> UTF-16 conversion at the platform boundary: always code page 936,
// whatever the process's own code page, and never a silently changed text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32/wide.h"

using kestrova::win32::Conversion;
using kestrova::win32::toGbk;
using kestrova::win32::Wide;

TEST(PlatformWide, GbkBecomesTheSameUtf16InAnyLocale) {
    // The narrow literal is GBK (the compiler's table), the wide one UTF-16.
    Wide path("C:\\程序文件\\测试 App\\安装.exe");
    ASSERT_TRUE(path.ok());
    EXPECT_STREQ(L"C:\\程序文件\\测试 App\\安装.exe", path.get());
    EXPECT_EQ(static_cast<int>(wcslen(L"C:\\程序文件\\测试 App\\安装.exe")), path.length());

    // Longer than the stack buffer: the heap copy is complete too.
    std::string longText;
    std::wstring longWide;
    for (int i = 0; i < 200; ++i) {
        longText += "文件";
        longWide += L"文件";
    }
    Wide big(longText.c_str());
    ASSERT_TRUE(big.ok());
    EXPECT_EQ(longWide, big.get());

    // An explicit length keeps NUL bytes and stops exactly there.
    Wide part("名称\0值xyz", 7);
    ASSERT_TRUE(part.ok());
    EXPECT_EQ(std::wstring(L"名称\0值", 4), std::wstring(part.get(), part.length()));

    Wide empty("");
    EXPECT_TRUE(empty.ok());
    EXPECT_STREQ(L"", empty.get());
    Wide none(nullptr);
    EXPECT_FALSE(none.ok());
    EXPECT_STREQ(L"", none.get());
}

TEST(PlatformWide, BrokenGbkFailsStrictlyAndIsShownLeniently) {
    // A lead byte without its trail byte is not GBK.
    const char* broken = "abc\x81";
    Wide strict(broken);
    EXPECT_FALSE(strict.ok());
    EXPECT_STREQ(L"", strict.get());

    Wide lenient(broken, Conversion::Lenient);
    ASSERT_TRUE(lenient.ok());
    EXPECT_EQ(0, wcsncmp(L"abc", lenient.get(), 3));
}

TEST(PlatformWide, Utf16BecomesGbkOnlyWhenItFitsAndHasAGbkForm) {
    const char* expected = "D:\\软件\\数据";
    const std::size_t n = std::strlen(expected);
    char buffer[32];
    std::size_t written = 99;
    ASSERT_TRUE(toGbk(L"D:\\软件\\数据", -1, buffer, sizeof buffer, &written));
    EXPECT_STREQ(expected, buffer);
    EXPECT_EQ(n, written);

    // Exactly room for the text and its NUL, then one byte less.
    char tight[32];
    std::memset(tight, 'x', sizeof tight);
    EXPECT_TRUE(toGbk(L"D:\\软件\\数据", -1, tight, n + 1));
    EXPECT_STREQ(expected, tight);
    std::memset(tight, 'x', sizeof tight);
    EXPECT_FALSE(toGbk(L"D:\\软件\\数据", -1, tight, n));
    EXPECT_EQ('\0', tight[0]);
    EXPECT_EQ('x', tight[n]);  // nothing written past the capacity
    EXPECT_FALSE(toGbk(L"a", -1, tight, 0));

    // A Thai letter and a lone surrogate have no GBK form: no '?' instead.
    EXPECT_FALSE(toGbk(L"C:\\\x0E01.txt", -1, buffer, sizeof buffer));
    EXPECT_STREQ("", buffer);
    EXPECT_FALSE(toGbk(L"C:\\\xD800.txt", -1, buffer, sizeof buffer));

    // An explicit length keeps NULs inside and converts nothing beyond.
    ASSERT_TRUE(toGbk(L"中\0文XYZ", 3, buffer, sizeof buffer, &written));
    EXPECT_EQ(5u, written);
    EXPECT_EQ(std::string("中\0文", 5), std::string(buffer, written));
    EXPECT_EQ('\0', buffer[5]);

    ASSERT_TRUE(toGbk(L"", 0, buffer, 1, &written));
    EXPECT_EQ(0u, written);
    EXPECT_STREQ("", buffer);
}
