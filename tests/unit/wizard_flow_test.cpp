// The wizard's decisions: page order, buttons, band texts, the typed path,
// the progress bar and the run check box, and the [Run] lines it offers.
#include "wizard/wizard_flow.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fake_platform.h"
#include "resources/texts.h"
#include "wizard/run_section.h"

namespace k = kestrova;

TEST(WizardFlow, PagesSkipTheLicenceBothWaysUnlessItIsShown) {
    EXPECT_EQ(2, k::pageAfter(1, true, true));
    EXPECT_EQ(3, k::pageAfter(2, true, true));
    EXPECT_EQ(2, k::pageAfter(3, false, true));
    EXPECT_EQ(3, k::pageAfter(1, true, false));
    EXPECT_EQ(1, k::pageAfter(3, false, false));
    EXPECT_EQ(5, k::pageAfter(4, true, false));
}

TEST(WizardFlow, ButtonsFollowThePageAndTheLicenceChoice) {
    auto b = k::buttonsFor(1, 5, false);
    EXPECT_FALSE(b.backEnabled);
    EXPECT_TRUE(b.nextEnabled);
    EXPECT_FALSE(b.bandShown);
    EXPECT_FALSE(k::buttonsFor(2, 5, false).nextEnabled);
    EXPECT_TRUE(k::buttonsFor(2, 5, true).nextEnabled);
    b = k::buttonsFor(3, 5, false);  // the choice matters on page 2 only
    EXPECT_TRUE(b.backEnabled && b.nextEnabled && b.cancelEnabled && b.bandShown);
    EXPECT_FALSE(b.finishCaption);
    b = k::buttonsFor(5, 5, false);
    EXPECT_FALSE(b.backEnabled);
    EXPECT_TRUE(b.nextEnabled);
    EXPECT_FALSE(b.cancelEnabled);
    EXPECT_TRUE(b.finishCaption);
}

TEST(WizardFlow, BandTextsJoinTheProductNameAndFitOrStay) {
    char title[k::kBandTextSize] = "old", subtitle[k::kBandTextSize] = "old";
    EXPECT_FALSE(k::bandTextsFor(1, "Abc", title, subtitle, sizeof title));
    EXPECT_STREQ("old", title);
    ASSERT_TRUE(k::bandTextsFor(2, "Abc", title, subtitle, sizeof title));
    EXPECT_STREQ(k::texts::kLicenceTitle, title);
    EXPECT_EQ(
        std::string(k::texts::kLicenceSubtitleBefore) + "Abc" + k::texts::kLicenceSubtitleAfter,
        subtitle);
    ASSERT_TRUE(k::bandTextsFor(5, "Abc", title, subtitle, sizeof title));
    EXPECT_EQ(std::string("Abc") + k::texts::kFinishTitleAfter, title);
    // A title that would not fit leaves both texts as they were.
    char small[16] = "keep", smallSub[16] = "keep";
    EXPECT_FALSE(k::bandTextsFor(5, "Abc", small, smallSub, sizeof small));
    EXPECT_STREQ("keep", small);
    EXPECT_STREQ("keep", smallSub);
}

TEST(WizardFlow, TypedPathsAreCheckedAsTheWizardShowsThem) {
    char path[280];
    EXPECT_EQ(k::PathCheck::TooShort, k::checkInstallPathText("C:\\", path, sizeof path));
    EXPECT_EQ(k::PathCheck::TooShort, k::checkInstallPathText("", path, sizeof path));
    for (const char* wrong : {"C:\\\\A", "C:\\/A", "CC:\\A", "C:/A"})
        EXPECT_EQ(k::PathCheck::Wrong, k::checkInstallPathText(wrong, path, sizeof path)) << wrong;
    ASSERT_EQ(k::PathCheck::Accepted, k::checkInstallPathText("C:\\A", path, sizeof path));
    EXPECT_STREQ("C:\\A", path);
    ASSERT_EQ(k::PathCheck::Accepted, k::checkInstallPathText("C:\\A\\", path, sizeof path));
    EXPECT_STREQ("C:\\A", path);
    ASSERT_EQ(k::PathCheck::Accepted, k::checkInstallPathText("C:\\A\\\\", path, sizeof path));
    EXPECT_STREQ("C:\\A\\", path);  // only one backslash goes
    char tiny[4];
    EXPECT_EQ(k::PathCheck::Wrong, k::checkInstallPathText("C:\\Abc", tiny, sizeof tiny));
}

TEST(WizardFlow, ProgressPositions) {
    EXPECT_EQ(50, k::progressPosition(1, 4));
    EXPECT_EQ(75, k::progressPosition(2, 4));
    EXPECT_EQ(100, k::progressPosition(3, 4));
    EXPECT_EQ(125, k::progressPosition(4, 4));
    EXPECT_EQ(10000, k::progressPosition(0x7FFFFFFF, 0x7FFFFFFF / 100));  // no overflow
}

TEST(WizardFlow, RunOfferNeedsBothLinesOfTheSectionBeforeTheLicence) {
    k::test::FakePlatform platform;
    k::SetupState state;
    std::strcpy(state.scriptPath, "C:\\TEMP\\run.ini");
    char caption[k::kRunLineSize];

    // The licence text, the script's tail, may hold any line.
    const std::string licence = "[Run]\r\nStart it\r\nC:\\App\\app.exe\r\n";
    const std::string head = "[TotalSize]\r\n0\r\n\r\n" + std::to_string(licence.size()) + "\r\n";
    platform.writeFile(state.scriptPath,
                       head + "[Menu]\r\n[Run]\r\nStart\r\nC:\\App\\a.exe\r\n" + licence);
    ASSERT_TRUE(k::readRunSection(platform, state, caption));
    EXPECT_STREQ("Start", caption);
    EXPECT_STREQ("C:\\App\\a.exe", state.runCommand);

    // No offer: a line missing (the section at the very end), an empty line
    // (what a product without a program carries), no section at all, or a
    // section that only the licence text holds.
    const std::string noOffer[] = {
        "[Menu]\r\n[Run]\r\nOnly a caption\r\n",
        "[Menu]\r\n[Run]\r\n",
        "[Menu]\r\n[Run]\r\n\r\n\r\n[Checksums]\r\n00000000\r\n",
        "[Run]\r\n\r\nC:\\App\\app.exe\r\n",
        "[Run]\r\nStart it\r\n\r\n",
        "[Menu]\r\n",
        head + "[Menu]\r\nGroup\r\n" + licence,
    };
    for (const std::string& script : noOffer) {
        k::SetupState other;
        std::strcpy(other.scriptPath, state.scriptPath);
        platform.writeFile(other.scriptPath, script);
        EXPECT_FALSE(k::readRunSection(platform, other, caption)) << script;
        EXPECT_STREQ("", other.runCommand) << script;
    }
}
