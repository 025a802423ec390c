// The setup's texts are stored as GBK bytes: compare a few with an
// independent converter.
#include "resources/texts.h"

#include <gtest/gtest.h>

#include "gbk.h"

using kestrova::test::gbk;
namespace texts = kestrova::texts;

TEST(Texts, AreStoredAsGbk) {
    EXPECT_EQ(gbk(u8"错误"), texts::kCaptionError);
    EXPECT_EQ(gbk(u8"读取安装包时发生错误!!!"), texts::kPackageReadError);
    EXPECT_EQ(gbk(u8"时出错，是否终止软件的安装？"), texts::kCreateFailedAfter);
    EXPECT_EQ(gbk(u8"正在复制文件 "), texts::kStatusCopyBefore);
    EXPECT_EQ(std::string("\xB4\xED\xCE\xF3"), texts::kCaptionError);  // 错误 in code page 936
}
