// The size sets at the densities users have (100 % to 300 %), and the
// places of the windows' controls: inside their pages, apart, as high as
// the font needs, for the font each density gives and for a taller one.
#include "layout/size_set.h"

#include <gtest/gtest.h>

#include <vector>

#include "layout/window_layout.h"

namespace kestrova {
namespace {

TEST(SizeSet, GivenSetsUpTo120AndScaledAbove) {
    struct Expected {
        int dpi, pageWidth, pageHeight, band, welcome, checkBox10, titleY, line2Y;
        bool stretched;
    };
    const Expected table[] = {
        {72, 548, 314, 64, 164, 78, 16, 58, false},
        {96, 548, 314, 64, 164, 78, 16, 58, false},
        {97, 730, 392, 80, 164, 102, 16, 58, false},
        {120, 730, 392, 80, 164, 102, 16, 58, false},
        {144, 876, 470, 96, 197, 122, 19, 70, true},
        {168, 1022, 549, 112, 230, 143, 22, 81, true},
        {192, 1168, 627, 128, 262, 163, 26, 93, true},
        {288, 1752, 941, 192, 394, 245, 38, 139, true},
    };
    for (const Expected& e : table) {
        SCOPED_TRACE(e.dpi);
        const SizeSet s = sizeSetFor(e.dpi);
        EXPECT_EQ(e.pageWidth, s.pageWidth);
        EXPECT_EQ(e.pageHeight, s.pageHeight);
        EXPECT_EQ(e.band, s.titleBandHeight);
        EXPECT_EQ(e.welcome, s.welcomeWidth);
        EXPECT_EQ(e.checkBox10, checkBoxWidth(s, 10));
        EXPECT_EQ(e.titleY, s.title.y);
        EXPECT_EQ(e.line2Y, s.welcomeLine2.y);
        EXPECT_EQ(e.stretched, s.picturesStretched());
        EXPECT_EQ(e.pageHeight, s.welcomePicture().height);
        EXPECT_EQ(e.pageWidth, s.titlePicture().width);
    }
    EXPECT_EQ(18, sizeSetFor(120).checkBoxHeight);
    EXPECT_EQ(29, sizeSetFor(192).checkBoxHeight);
}

TEST(SizeSet, RunCheckBoxHasItsSetsSizeUnlessTheCaptionNeedsMore) {
    const FontMeasure font96{14, 13}, font120{18, 17};
    Box box = runCheckBoxPlace(sizeSetFor(96), 10, 60, font96, 548, 250);
    EXPECT_EQ(78, box.width);
    EXPECT_EQ(14, box.height);
    EXPECT_EQ(235, box.left);
    EXPECT_EQ(118, box.top);
    box = runCheckBoxPlace(sizeSetFor(120), 10, 75, font120, 730, 312);
    EXPECT_EQ(102, box.width);
    EXPECT_EQ(18, box.height);
    EXPECT_EQ(314, box.left);
    EXPECT_EQ(147, box.top);
    // A taller, wider substitute font: the box grows to hold its caption.
    box = runCheckBoxPlace(sizeSetFor(120), 10, 100, FontMeasure{23, 17}, 730, 312);
    EXPECT_EQ(100 + 17 + 5, box.width);
    EXPECT_EQ(23, box.height);
}

TEST(SizeSet, SplashIsScaledAboveTheGivenSetsAndStaysOnTheScreen) {
    Box b = splashPlace(sizeSetFor(120), 400, 220, 1024, 768);
    EXPECT_EQ(400, b.width);
    EXPECT_EQ(312, b.left);
    b = splashPlace(sizeSetFor(192), 400, 220, 2560, 1440);
    EXPECT_EQ(640, b.width);
    EXPECT_EQ(352, b.height);
    EXPECT_EQ(960, b.left);
    b = splashPlace(sizeSetFor(288), 1000, 500, 1920, 1080);  // 2400 x 1200 would not fit
    EXPECT_EQ(1920, b.width);
    EXPECT_EQ(960, b.height);
    EXPECT_EQ(0, b.left);
    b = splashPlace(sizeSetFor(288), 3000, 500, 1920, 1080);  // larger than the screen already
    EXPECT_EQ(3000, b.width);
}

bool inside(const Box& b, int width, int height) {
    return b.left >= 0 && b.top >= 0 && b.right() <= width && b.bottom() <= height && b.width > 0 &&
           b.height > 0;
}

bool apart(const Box& a, const Box& b) {
    return a.right() <= b.left || b.right() <= a.left || a.bottom() <= b.top || b.bottom() <= a.top;
}

// Every box inside width x height, no two overlapping, each at least as
// high as a line of text.
void expectTidy(const std::vector<Box>& boxes, int width, int height, int lineHeight) {
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(inside(boxes[i], width, height));
        EXPECT_GE(boxes[i].height, lineHeight);
        for (std::size_t j = i + 1; j < boxes.size(); ++j) EXPECT_TRUE(apart(boxes[i], boxes[j]));
    }
}

TEST(WindowLayout, ControlsFitTheirPagesAtEveryDensityAndWithATallerFont) {
    // The font's line height at each density where Wine gives 宋体 its
    // substitute, and a third taller (a system without the Chinese fonts).
    const int densities[][2] = {{96, 14}, {120, 18}, {144, 21}, {168, 25}, {192, 28}, {288, 42}};
    for (const auto& [dpi, normalLine] : densities) {
        for (const int line : {normalLine, normalLine * 4 / 3}) {
            SCOPED_TRACE(testing::Message() << dpi << " dpi, line " << line);
            const SizeSet s = sizeSetFor(dpi);
            const FontMeasure font{line, line};
            const int body = s.pageHeight - s.titleBandHeight;

            const FrameLayout f = frameLayout(s, font, 6 * line);
            expectTidy({f.bodyPage, f.buttonLine, f.back, f.next, f.cancel}, f.clientWidth,
                       f.clientHeight, kEtchedLineHeight);
            EXPECT_EQ(s.pageHeight, f.welcomePage.height);
            EXPECT_GE(f.back.height, line + 2 * s.padding);
            EXPECT_GE(f.back.width, 6 * line);

            const LicenceLayout l = licenceLayout(s, font);
            expectTidy({l.view, l.accept, l.decline}, s.pageWidth, body, line);
            EXPECT_GE(l.view.height, body / 2);

            const FolderLayout d = folderLayout(s, font, line + 8, 4 * line, 5 * line);
            Box closedList = d.drives;
            closedList.height = line + 8;
            expectTidy({d.driveLabel, closedList, d.tree, d.requiredSpace, d.pathLabel, d.path},
                       s.pageWidth, body, line);
            EXPECT_EQ(5 * line, d.pathLabel.width);
            EXPECT_GE(d.tree.height, body / 3);

            const ProgressLayout p = progressLayout(s, font);
            expectTidy({p.status, p.bar}, s.pageWidth, body, line);

            for (const bool bar : {false, true}) {
                const StatusLayout st = statusLayout(s, font, 2 * line, 20 * line, bar);
                std::vector<Box> boxes{st.icon, st.lines[0], st.lines[1]};
                if (bar) boxes.push_back(st.bar);
                expectTidy(boxes, st.clientWidth, st.clientHeight, line);
                EXPECT_GE(st.lines[1].width, 20 * line);
                EXPECT_GE(st.clientWidth, s.statusDialogWidth);
            }
        }
    }
}

}  // namespace
}  // namespace kestrova
