#include <cmath>
#include <numbers>

#include "InstallerHarness.h"
#include "pages/licence/CursorGlide.h"
#include "pages/licence/Point2D.h"

namespace kanvel::testing {
namespace {

using licence::ArcCosClamped;
using licence::ArcSinClamped;
using licence::BearingAngle;
using licence::SetPoint2D;
constexpr double pi = std::numbers::pi;

TEST(BearingAngle, PointsTheWayOfTheScreenAxes) {
    const auto origin = SetPoint2D(10, 10);
    EXPECT_DOUBLE_EQ(BearingAngle(origin, SetPoint2D(10, 20), 0), pi / 2);   // straight down
    EXPECT_DOUBLE_EQ(BearingAngle(origin, SetPoint2D(10, 0), 0), -pi / 2);   // straight up
    EXPECT_DOUBLE_EQ(BearingAngle(origin, SetPoint2D(0, 10), 0), pi);        // straight left
    EXPECT_DOUBLE_EQ(BearingAngle(origin, SetPoint2D(20, 10), 0), 0.0);      // straight right
    EXPECT_EQ(BearingAngle(origin, origin, 0), 0.0);
    EXPECT_EQ(BearingAngle(origin, SetPoint2D(10.0005, 10.0005), 0), 0.0);  // closer than 0.001
}

TEST(BearingAngle, EqualsTheTwoArgumentArcTangentInEveryQuadrant) {
    for (int dx = -7; dx <= 7; ++dx)
        for (int dy = -7; dy <= 7; ++dy) {
            if (dx == 0 && dy == 0) continue;
            const double angle = BearingAngle(SetPoint2D(3, 4), SetPoint2D(3 + dx, 4 + dy), 0);
            EXPECT_NEAR(angle, std::atan2(dy, dx), 1e-12) << dx << "," << dy;
            EXPECT_GT(angle, -pi);
            EXPECT_LE(angle, pi);
        }
}

TEST(BearingAngle, OffsetIsSubtractedAndTheResultWrappedIntoRange) {
    const auto from = SetPoint2D(0, 0);
    EXPECT_NEAR(BearingAngle(from, SetPoint2D(-1, 0.0001), -1.0), std::atan2(0.0001, -1.0) + 1.0 - 2 * pi, 1e-12);
    EXPECT_NEAR(BearingAngle(from, SetPoint2D(1, 0), 0.5), -0.5, 1e-12);
    EXPECT_NEAR(BearingAngle(from, SetPoint2D(0, -1), 2.0), -pi / 2 - 2.0 + 2 * pi, 1e-12);
}

TEST(ClampedArcs, ClampTheirArgumentAndTakeNaNAsMinusOne) {
    EXPECT_DOUBLE_EQ(ArcCosClamped(2.0), 0.0);
    EXPECT_DOUBLE_EQ(ArcSinClamped(2.0), pi / 2);
    EXPECT_DOUBLE_EQ(ArcCosClamped(-3.0), pi);
    EXPECT_DOUBLE_EQ(ArcCosClamped(std::nan("")), pi);
    EXPECT_DOUBLE_EQ(ArcSinClamped(std::nan("")), -pi / 2);
    EXPECT_NEAR(ArcCosClamped(0.5), std::acos(0.5), 1e-15);
    EXPECT_NEAR(ArcSinClamped(-0.25), std::asin(-0.25), 1e-15);
}

class GlideTest : public InstallerTest {
protected:
    ui::Application app{toolkit, L"C:\\Instalator.exe"};

    void Glide(ui::Point from, ui::Point to) {
        platform.cursor = from;
        log.clear();
        licence::GlideCursor(platform, app, to, licence::kGlidePace);
    }
    std::vector<std::wstring> sleeps() const { return log.withPrefix(L"sleep"); }
    std::vector<std::wstring> moves() const { return log.withPrefix(L"cursor"); }
};

TEST_F(GlideTest, CursorOnTheTargetTakesNoStepAndPumpsOnce) {
    Glide({40, 50}, {40, 50});
    EXPECT_EQ(log.entries(), std::vector<std::wstring>{L"pump"});
}

TEST_F(GlideTest, FivePixelsRightTakeFiveOnePixelStepsAndOneLongPause) {
    Glide({100, 100}, {105, 100});
    EXPECT_EQ(moves(), (std::vector<std::wstring>{L"cursor 101,100", L"cursor 102,100", L"cursor 103,100",
                                                  L"cursor 104,100", L"cursor 105,100"}));
    EXPECT_EQ(sleeps(), std::vector<std::wstring>{L"sleep 20"});
    EXPECT_EQ(log.entries().back(), L"pump");
}

TEST_F(GlideTest, LongGlideArrivesInAboutAHundredStepsPausingEveryFifth) {
    Glide({0, 0}, {600, 300});
    const auto steps = moves();
    EXPECT_EQ(steps.back(), L"cursor 600,300");
    EXPECT_GE(steps.size(), 95u);
    EXPECT_LE(steps.size(), 110u);
    EXPECT_EQ(sleeps().size(), (steps.size() + 4) / 5);
}

TEST_F(GlideTest, StopsAfterTwoHundredStepsWhenItOvershootsForEver) {
    // 10050 px: the step is 100.5, rounded to 100; the last 50 px are never
    // covered, the glide swings 100 px about the target until the cap.
    Glide({0, 0}, {10050, 0});
    const auto steps = moves();
    ASSERT_EQ(steps.size(), 200u);
    EXPECT_EQ(steps.back(), L"cursor 10000,0");
    EXPECT_EQ(platform.cursor, (ui::Point{10000, 0}));
    EXPECT_EQ(sleeps().size(), 40u);
    EXPECT_EQ(log.withPrefix(L"sleep 10").size(), 40u);
}

TEST_F(GlideTest, InactiveApplicationMovesNoCursorButPausesAllTheSame) {
    Glide({0, 0}, {300, 40});
    const auto activeSleeps = sleeps();
    toolkit.active = false;
    Glide({0, 0}, {300, 40});
    EXPECT_TRUE(moves().empty());
    EXPECT_EQ(sleeps(), activeSleeps);
    EXPECT_EQ(platform.cursor, (ui::Point{0, 0}));
}

}  // namespace
}  // namespace kanvel::testing
