#include <gtest/gtest.h>

#include "pages/install/InstallRecorder.h"

namespace kanvel::testing {
namespace {

using services::FetchOutcome;

// A run without a window makes its exit code from the last record: what an
// earlier press or removal did must not show in it.
TEST(InstallRecorder, ANewPressOrRemovalForgetsOnlyTheLastOnesRecord) {
    install::InstallRecorder recorder;
    recorder.BeginInstallation();
    recorder.FetchEnded(L"C:\\OR-Vel\\Edytor3.exe", FetchOutcome(FetchOutcome::Result::Failed,
                                                                 FetchOutcome::Failure::Connection, L"Socket Error"));
    recorder.ShortcutMissing(L"C:\\Pulpit\\Koordynator 7.lnk");
    recorder.EntryEnded(false, L"Software\\Klucz");
    recorder.BeginRemoval();
    recorder.FileLeft(L"C:\\OR-Vel\\Edytor3.exe");
    recorder.EntryLeft();

    recorder.BeginInstallation();
    EXPECT_TRUE(recorder.installation().failedDownloads.empty());
    EXPECT_TRUE(recorder.installation().shortcutsMissing.empty());
    EXPECT_EQ(recorder.installation().entry, install::InstallReport::EntryStep::NotWritten);
    EXPECT_EQ(recorder.removal().filesLeft, std::vector<std::wstring>{L"C:\\OR-Vel\\Edytor3.exe"});

    recorder.BeginRemoval();
    EXPECT_TRUE(recorder.removal().filesLeft.empty());
    EXPECT_FALSE(recorder.removal().entryLeft);
}

TEST(InstallRecorder, OnlyAFailedFetchIsRecordedWithItsKindAndWhatTheUserWasShown) {
    install::InstallRecorder recorder;
    recorder.FetchEnded(L"C:\\a", FetchOutcome(FetchOutcome::Result::Fetched));
    recorder.FetchEnded(L"C:\\b", FetchOutcome(FetchOutcome::Result::AlreadyThere));
    recorder.FetchEnded(L"C:\\c", FetchOutcome(FetchOutcome::Result::KeptWithoutExtension));
    recorder.FetchEnded(L"C:\\d", FetchOutcome(FetchOutcome::Result::Refused));
    recorder.FetchEnded(L"C:\\e", FetchOutcome(FetchOutcome::Result::Failed, FetchOutcome::Failure::Signature,
                                               L"podpis"));
    const auto& failed = recorder.installation().failedDownloads;
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].file, L"C:\\e");
    EXPECT_EQ(failed[0].failure, FetchOutcome::Failure::Signature);
    EXPECT_EQ(failed[0].message, L"podpis");
}

}  // namespace
}  // namespace kanvel::testing
