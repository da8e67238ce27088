#include <gtest/gtest.h>

#include "InstallerHarness.h"
#include "pages/notice/Notices.h"
#include "pages/notice/TFormQst.h"
#include "ui/DpiScale.h"

namespace kanvel::testing {
namespace {

using ui::Rect;
using ui::ScaleToDpi;

TEST(DpiScale, LengthsScaleByDpiOver96AndRoundHalvesAwayFromZero) {
    struct Case {
        int dpi, length, expected;
    };
    for (const Case& c : {Case{96, 730, 730}, Case{120, 730, 913},  // 912.5
                          Case{144, 730, 1095}, Case{192, 730, 1460}, Case{144, 315, 473},  // 472.5
                          Case{120, 13, 16},  // 16.25
                          Case{144, -3, -5},  // -4.5: away from zero, as on the positive side
                          Case{97, 360, 364},  // 363.75 at an odd density
                          Case{113, 40, 47}})  // 47.08
        EXPECT_EQ(ScaleToDpi(c.length, c.dpi), c.expected) << c.length << " at " << c.dpi;
}

TEST(DpiScale, NeighbouringPlacesStillMeetAfterScalingAndTheMainWindowKeepsItsProportions) {
    // 5 + 5 pixels side by side: scaling each size alone would give 8 + 8 = 16
    // at 144 DPI, overlapping by one; scaling the edges keeps them touching.
    const Rect first = ScaleToDpi(Rect{0, 0, 5, 5}, 144);
    const Rect second = ScaleToDpi(Rect{5, 0, 5, 5}, 144);
    EXPECT_EQ(first.left + first.width, second.left);
    EXPECT_EQ(second.left + second.width, ScaleToDpi(10, 144));
    EXPECT_EQ(ScaleToDpi(Rect{0, 0, 730, 360}, 144), (Rect{0, 0, 1095, 540}));
    EXPECT_EQ(ScaleToDpi(Rect{0, 0, 730, 360}, 120), (Rect{0, 0, 913, 450}));
    EXPECT_EQ(ScaleToDpi(Rect{0, 0, 730, 360}, 192), (Rect{0, 0, 1460, 720}));
    // The install button, 178, 289, 187 x 30: top 433.5 and bottom 478.5 both round up.
    EXPECT_EQ(ScaleToDpi(Rect{178, 289, 187, 30}, 144), (Rect{267, 434, 281, 45}));
}

TEST(DpiScale, FontsScaleTheirHeightOnly) {
    ui::Font font;
    font.height = 17;
    font.bold = true;
    const ui::Font scaled = ScaleToDpi(font, 144);
    EXPECT_EQ(scaled.height, 26);  // 25.5
    EXPECT_TRUE(scaled.bold);
    EXPECT_EQ(scaled.name, font.name);
    EXPECT_EQ(ScaleToDpi(font, 96), font);
}

TEST(DpiScale, AMeasuredHeightBecomesTheSmallestDesignedLengthThatCoversIt) {
    for (int dpi : {96, 120, 144, 192, 97, 113}) {
        for (int pixels : {1, 19, 20, 29, 30, 31, 61, 100}) {
            const int designed = ui::DesignLengthCovering(pixels, dpi);
            EXPECT_GE(ScaleToDpi(designed, dpi), pixels) << pixels << " at " << dpi;
            EXPECT_LT(ScaleToDpi(designed - 1, dpi), pixels) << pixels << " at " << dpi;
        }
    }
    EXPECT_EQ(ui::DesignLengthCovering(20, 96), 20);
    EXPECT_EQ(ui::DesignLengthCovering(0, 144), 0);
}

class ScaledWindowTest : public InstallerTest {
protected:
    void SetUp() override {
        StartUp();
        main().boundsChangedByPeer({200, 100, 730, 360});
    }
};

TEST_F(ScaledWindowTest, GlideTargetsComeFromTheScaledPlacesOfTheControls) {
    for (int dpi : {96, 120, 144, 192}) {
        main().setDpi(dpi);
        platform.cursor = {0, 0};
        main().RevealLicence({});
        // Onto "Akceptuję": 30 and 37 pixels into the choice at 96 DPI.
        EXPECT_EQ(platform.cursor, (ui::Point{200 + ScaleToDpi(8 + 30, dpi), 100 + ScaleToDpi(32 + 246 + 37, dpi)}))
            << dpi;
    }
    main().setDpi(144);
    platform.cursor = {0, 0};
    main().RGAkceptacja.choose(0);  // accepted: the glide onto the editions
    EXPECT_EQ(platform.cursor, (ui::Point{200 + 96, 100 + 234}));  // 1.5 x (64, 156)
}

TEST_F(ScaledWindowTest, RoundedRegionScalesWithTheWindow) {
    using Region = ui::Form::ScreenRegion;
    EXPECT_EQ(main().screenRegion(), (Region{730, 360, 40, 40}));
    main().setDpi(120);
    EXPECT_EQ(main().screenRegion(), (Region{913, 450, 50, 50}));
    main().setDpi(144);
    EXPECT_EQ(main().screenRegion(), (Region{1095, 540, 60, 60}));
    main().setDpi(192);
    EXPECT_EQ(main().screenRegion(), (Region{1460, 720, 80, 80}));
    main().setDpi(0);  // not a density: ignored
    EXPECT_EQ(main().dpi(), 192);
}

TEST_F(ScaledWindowTest, NoticeIsCentredInScreenPixelsAndKeepsItsDesignedLayout) {
    std::vector<ui::Rect> seen;
    int dialogDpi = 0;
    toolkit.onModal = [&](ui::Form& form) {
        auto& dialog = dynamic_cast<notice::TFormQst&>(form);
        seen.push_back(dialog.bounds());
        dialogDpi = dialog.dpi();
        dialog.B1.click();
    };
    main().setDpi(144);
    installer->notices().ShowShortNotice(L"Tekst", L"Uwaga!");
    ASSERT_EQ(seen.size(), 1u);
    // Outer designed size 471 x 114, on the screen 707 x 171 (706.5, 171).
    EXPECT_EQ(dialogDpi, 144);
    EXPECT_EQ(seen[0].left, 200 + (1095 - 707) / 2);
    EXPECT_EQ(seen[0].top, 100 + (540 - 171) / 2 + 23);  // 15 scaled is 22.5
    EXPECT_EQ(seen[0].width, 471);
    EXPECT_EQ(seen[0].height, 17 + 20 + 5 + 20 + 27 + 20);
    // At 96 DPI the arithmetic is the designed one; at 120 and 192 it scales alike.
    for (int dpi : {96, 120, 192}) {
        main().setDpi(dpi);
        seen.clear();
        installer->notices().ShowShortNotice(L"Tekst", L"Uwaga!");
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].left, 200 + (ScaleToDpi(730, dpi) - ScaleToDpi(471, dpi)) / 2) << dpi;
        EXPECT_EQ(seen[0].top, 100 + (ScaleToDpi(360, dpi) - ScaleToDpi(114, dpi)) / 2 + ScaleToDpi(15, dpi)) << dpi;
        EXPECT_EQ(dialogDpi, dpi);
    }
    EXPECT_EQ(seen[0].left, 200 + (1460 - 942) / 2);  // at 192 DPI everything doubles
}

}  // namespace
}  // namespace kanvel::testing
