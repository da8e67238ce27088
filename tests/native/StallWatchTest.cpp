#include <gtest/gtest.h>

#include "services/download/StallWatch.h"

namespace kanvel::testing {
namespace {

using namespace std::chrono_literals;
using services::StallWatch;

const StallWatch::Clock::time_point kStart{};

// A server that sends one byte every 25 s never runs into a 30 s wait, but
// is ended once a whole minute has brought less than 1 KiB.
TEST(StallWatch, ATrickleEndsOnceAWholeWindowBroughtTooLittle) {
    StallWatch watch(kStart);
    EXPECT_FALSE(watch.Stalled(kStart + 25s, 1));
    EXPECT_FALSE(watch.Stalled(kStart + 50s, 2));
    EXPECT_TRUE(watch.Stalled(kStart + 75s, 3));
}

TEST(StallWatch, ASteadyOrRecoveringBodyGoesOn) {
    StallWatch steady(kStart);
    for (int second = 1; second <= 600; ++second)
        ASSERT_FALSE(steady.Stalled(kStart + std::chrono::seconds(second), second * 20)) << second;

    // 1 KiB at once after a quiet 59 s, then quiet again: every window of
    // 60 s up to 118 s still holds that kibibyte.
    StallWatch recovering(kStart);
    EXPECT_FALSE(recovering.Stalled(kStart + 59s, 1024));
    EXPECT_FALSE(recovering.Stalled(kStart + 118s, 1024));
    EXPECT_TRUE(recovering.Stalled(kStart + 125s, 1024));
}

// Blocks that come thick and fast keep few samples, and the rule still holds
// for the window that ends at each moment (noticed at most 1/16 late).
TEST(StallWatch, ManyQuickBlocksThenSilenceIsNoticedWithinASixteenth) {
    StallWatch watch(kStart, 16s, 1000);
    std::int64_t total = 0;
    auto at = kStart;
    for (int block = 0; block < 100000; ++block) {
        at += 100us;
        total += 64;
        ASSERT_FALSE(watch.Stalled(at, total));
    }
    // Ten seconds pass, then a trickle: 10 bytes a second.
    const auto lastBlock = at;
    bool stalled = false;
    while (!stalled) {
        at += 1s;
        total += 10;
        stalled = watch.Stalled(at, total);
    }
    EXPECT_GE(at - lastBlock, 16s);
    EXPECT_LE(at - lastBlock, 18s);
}

}  // namespace
}  // namespace kanvel::testing
