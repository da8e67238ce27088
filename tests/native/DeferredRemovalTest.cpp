#include "InstallerHarness.h"

namespace kanvel::testing {
namespace {

const std::wstring kKeptCopy = L"C:\\OR-Vel\\Instalator.exe";
const std::wstring kStillUsed = L" jest używany przez inny program lub zawiera pliki (foldery) utworzone po instalacji.";

// "Koordynator" installed in C:\OR-Vel with its kept installer copy, removed
// by the panel's button.
class DeferredRemovalTest : public InstallerTest {
protected:
    void SetUp() override {
        StartUpAcceptedWith(0);
        panel().RefreshInstallFolder();
        platform.files().WriteFile(L"C:\\OR-Vel\\Edytor3.exe", "MZ program");
        platform.files().WriteFile(kKeptCopy, "MZ kept");
        platform.files().WriteFile(platform.desktopPath + L"\\Koordynator 7.lnk", "link");
        // Removal is offered once the edition is chosen again with the installation there.
        panel().RGKanvel.choose(1);
        panel().RGKanvel.choose(0);
        ASSERT_TRUE(panel().BBDeinstal.enabled());
    }
    install::DeferredRemoval& deferred() { return installer->deferredRemoval(); }
    // A kept copy placed now stays through Complete: no removal waits for it.
    void ExpectNothingWaits() {
        platform.files().WriteFile(kKeptCopy, "MZ new");
        deferred().Complete();
        EXPECT_TRUE(platform.FileExists(kKeptCopy));
    }
};

TEST_F(DeferredRemovalTest, NotDeferredTheKeptCopyGoesWithTheInstallationAndNothingWaits) {
    panel().BBDeinstal.click();
    EXPECT_FALSE(platform.DirectoryExists(L"C:\\OR-Vel"));
    ExpectNothingWaits();
}

// The kept copy is the file of the run waiting for this one's outcome: it
// and the folder it keeps go only when Complete is called, and only once.
TEST_F(DeferredRemovalTest, DeferredTheKeptCopyAndItsFoldersWaitForCompleteWithoutANotice) {
    deferred().Defer();
    panel().BBDeinstal.click();
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Edytor3.exe"));
    EXPECT_TRUE(platform.FileExists(kKeptCopy));
    deferred().Complete();
    EXPECT_FALSE(platform.DirectoryExists(L"C:\\OR-Vel"));
    EXPECT_TRUE(notices.empty());
    ExpectNothingWaits();
}

TEST_F(DeferredRemovalTest, AKeptCopyStillHeldAtTheEndIsRecordedAndItsFolderNamed) {
    deferred().Defer();
    panel().BBDeinstal.click();
    platform.lockedFiles.push_back(kKeptCopy);
    deferred().Complete();
    EXPECT_EQ(installer->recorder().removal().filesLeft, std::vector<std::wstring>{kKeptCopy});
    EXPECT_EQ(notices, std::vector<std::wstring>{L"\"C:\\OR-Vel\"" + kStillUsed});
}

// A window's removal from a temporary copy: the waiting first run is let go
// (once) right before the kept copy it holds is deleted, in the window, with
// the folder and its notice; nothing is left for Complete.
TEST_F(DeferredRemovalTest, ReleasedTheFirstRunEndsBeforeTheKeptCopyGoesInTheWindow) {
    platform.lockedFiles.push_back(kKeptCopy);
    int releases = 0;
    deferred().ReleaseFirstRunWith([&] {
        ++releases;
        EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Edytor3.exe"));
        std::erase(platform.lockedFiles, kKeptCopy);
    });
    platform.files().WriteFile(L"C:\\OR-Vel\\Format\\Cfg\\config.db", "table");
    panel().BBDeinstal.click();
    EXPECT_EQ(releases, 1);
    EXPECT_FALSE(platform.FileExists(kKeptCopy));
    EXPECT_TRUE(installer->recorder().removal().filesLeft.empty());
    EXPECT_EQ(notices.size(), 1u);  // the database folder that stays, named in the window
    ExpectNothingWaits();
    EXPECT_EQ(releases, 1);
}

// An edition still installed in the folder needs the kept copy: nothing waits.
TEST_F(DeferredRemovalTest, AnotherEditionInTheFolderKeepsTheCopyAndNothingWaits) {
    platform.files().WriteFile(L"C:\\OR-Vel\\Edytor2p.exe", "MZ procesor");
    deferred().Defer();
    panel().BBDeinstal.click();
    EXPECT_TRUE(platform.FileExists(kKeptCopy));
    ExpectNothingWaits();
}

}  // namespace
}  // namespace kanvel::testing
