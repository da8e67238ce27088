#include "InstallerHarness.h"
#include "services/system/BriefLockRetry.h"

namespace kanvel::testing {
namespace {

using services::BriefLockRetry;
using services::FileFailure;

// File operations on the test platform meeting a scanner's hold: the test
// platform keeps Windows' sharing rule (a file held open without sharing
// cannot be replaced, copied over or deleted) and its clock moves only when
// the installer pauses.
class BriefLockRetryTest : public InstallerTest {
protected:
    const std::wstring source = L"C:\\OR-Vel\\Format\\Cfg\\config2.new";
    const std::wstring target = L"C:\\OR-Vel\\Format\\Cfg\\config2.db";

    void SetUp() override {
        platform.files().WriteFile(source, "new table");
        platform.files().WriteFile(target, "old table");
    }
    void HoldTargetFor(std::int64_t milliseconds) {
        platform.briefHolds.push_back({target, platform.SteadyMilliseconds() + milliseconds});
    }
    // The pauses taken, in milliseconds.
    std::vector<int> pauses() const {
        std::vector<int> found;
        for (const auto& entry : log.withPrefix(L"retry pause "))
            found.push_back(std::stoi(entry.substr(12)));
        return found;
    }
    int pausedInAll() const {
        int sum = 0;
        for (int pause : pauses()) sum += pause;
        return sum;
    }
};

TEST_F(BriefLockRetryTest, AFileHeldForAMomentIsReplacedCopiedOverAndDeletedOnceReleased) {
    HoldTargetFor(1200);
    EXPECT_TRUE(platform.MoveReplacing(source, target));
    EXPECT_EQ(platform.files().ReadFile(target), "new table");
    EXPECT_GE(pausedInAll(), 1200);
    EXPECT_LT(pausedInAll(), BriefLockRetry::kPatienceMilliseconds);

    platform.files().WriteFile(source, "newer table");
    HoldTargetFor(700);
    EXPECT_TRUE(platform.CopyFileTo(source, target, false));
    EXPECT_EQ(platform.files().ReadFile(target), "newer table");

    HoldTargetFor(300);
    EXPECT_TRUE(platform.DeleteFileAt(target));
    EXPECT_FALSE(platform.FileExists(target));
}

TEST_F(BriefLockRetryTest, AHoldLongerThanAFewSecondsGivesUpAtTheBoundAndChangesNothing) {
    HoldTargetFor(60'000);
    EXPECT_FALSE(platform.MoveReplacing(source, target));
    EXPECT_EQ(pausedInAll(), BriefLockRetry::kPatienceMilliseconds);
    EXPECT_EQ(platform.files().ReadFile(target), "old table");
    EXPECT_EQ(platform.files().ReadFile(source), "new table");

    log.clear();
    EXPECT_FALSE(platform.DeleteFileAt(target));
    EXPECT_EQ(pausedInAll(), BriefLockRetry::kPatienceMilliseconds);
    EXPECT_TRUE(platform.FileExists(target));
}

// The pauses start short, so that a hold of a few milliseconds costs about
// as much, and grow, so that a longer one is not polled without end.
TEST_F(BriefLockRetryTest, PausesStartShortAndGrowUpToAHalfSecond) {
    HoldTargetFor(60'000);
    platform.MoveReplacing(source, target);
    const auto taken = pauses();
    ASSERT_GE(taken.size(), 5u);
    EXPECT_LE(taken.front(), 50);
    for (std::size_t i = 1; i + 1 < taken.size(); ++i) {
        EXPECT_GE(taken[i], taken[i - 1]);
        EXPECT_LE(taken[i], BriefLockRetry::kLongestPauseMilliseconds);
    }
}

// A read-only file refuses for as long as it stays read-only, and the
// callers deal with it themselves: no pause at all.
TEST_F(BriefLockRetryTest, ARefusalThatLastsIsNeverRetried) {
    platform.SetAttributes(target, 1);
    EXPECT_FALSE(platform.MoveReplacing(source, target));
    EXPECT_FALSE(platform.CopyFileTo(source, target, false));
    EXPECT_FALSE(platform.DeleteFileAt(target));
    EXPECT_FALSE(platform.DeleteFileAt(L"C:\\OR-Vel\\nothing-here.db"));
    EXPECT_TRUE(pauses().empty());
    EXPECT_EQ(platform.files().ReadFile(target), "old table");
}

TEST(BriefLockRetryPolicy, OnlyHoldsThatCanEndByThemselvesAreBrief) {
    EXPECT_TRUE(BriefLockRetry::IsBrief(FileFailure::SharingViolation));
    EXPECT_TRUE(BriefLockRetry::IsBrief(FileFailure::LockViolation));
    EXPECT_TRUE(BriefLockRetry::IsBrief(FileFailure::AccessDenied));
    EXPECT_FALSE(BriefLockRetry::IsBrief(FileFailure::ReadOnly));
    EXPECT_FALSE(BriefLockRetry::IsBrief(FileFailure::Other));
    EXPECT_FALSE(BriefLockRetry::IsBrief(FileFailure::None));
}

}  // namespace
}  // namespace kanvel::testing
