#include "InstallerHarness.h"
#include "shell/TFormQst.h"

namespace kanvel::testing {
namespace {

const std::wstring kStillUsed = L" jest używany przez inny program lub zawiera pliki (foldery) utworzone po instalacji.";

class UninstallTest : public InstallerTest {
protected:
    void SetUp() override {
        StartUpAcceptedWith(0);
        server.responses[Url(L"programy/wersja7/poprawki/Edytor3._exe")] = {.body = "MZ"};
        server.responses[Url(L"sterowniki/bde/setup._exe")] = {.body = "MZ setup"};
    }
    void Install(bool withEngine = false) {
        panel().CBParadox.setChecked(withEngine);
        panel().BBInstal.click();
        ASSERT_TRUE(main().PanelKoniec.visible());
        notices.clear();
    }
    std::wstring desktopLink() { return platform.desktopPath + L"\\Koordynator 7.lnk"; }
    std::wstring group() { return platform.programsPath + L"\\Velmarin"; }
};

TEST_F(UninstallTest, RightAfterAnInstallEverythingGoesAndThePanelIsReset) {
    Install(true);
    panel().CBSkrotPulpit.setChecked(false);
    panel().BBDeinstal.click();
    EXPECT_FALSE(platform.FileExists(desktopLink()));
    EXPECT_FALSE(platform.DirectoryExists(group()));
    EXPECT_FALSE(platform.DirectoryExists(L"C:\\OR-Vel"));
    EXPECT_TRUE(notices.empty());
    // Leaving the finished panel re-applies the licence choice, which also
    // asks for an edition again in the status line.
    EXPECT_EQ(main().LabelInfo.caption(), L"Wybierz wersję instalacji");
    EXPECT_FALSE(main().PanelKoniec.visible());
    EXPECT_EQ(panel().BBInstal.caption(), L"Instaluj");
    EXPECT_TRUE(panel().CBSkrotPulpit.checked());  // the acceptance ticks both again
    EXPECT_TRUE(panel().CBSkrotMenuStart.checked());
    EXPECT_FALSE(panel().BBDeinstal.enabled());
    EXPECT_EQ(panel().BBDeinstal.effectiveHint(), L"");
}

TEST_F(UninstallTest, DatabaseFoldersKeepTheInstallFolderAndTheUserIsTold) {
    Install(true);
    panel().BBWstecz.click();
    platform.files().WriteFile(L"C:\\OR-Vel\\Format\\Cfg\\config1.db", "data");
    panel().BBDeinstal.click();
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Edytor3.exe"));
    EXPECT_FALSE(platform.DirectoryExists(L"C:\\OR-Vel\\Sterowniki"));
    EXPECT_TRUE(platform.DirectoryExists(L"C:\\OR-Vel"));
    EXPECT_EQ(notices, std::vector<std::wstring>{L"\"C:\\OR-Vel\"" + kStillUsed});
    EXPECT_EQ(main().LabelInfo.caption(), L"Usunięcie programu zakończone pomyślnie");
}

TEST_F(UninstallTest, MissingInstallFolderOnlyRemovesTheShortcuts) {
    Install();
    std::filesystem::remove_all(platform.files().ToHost(L"C:\\OR-Vel"));
    panel().BBDeinstal.click();
    EXPECT_FALSE(platform.FileExists(desktopLink()));
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(panel().LabelFolder.caption(), L"\\OR-Vel\\");
}

TEST_F(UninstallTest, AnotherEditionsShortcutKeepsTheGroupWithoutANotice) {
    Install();
    platform.files().WriteFile(group() + L"\\Procesor 7.lnk", "x");
    panel().BBDeinstal.click();
    EXPECT_FALSE(platform.FileExists(group() + L"\\Koordynator 7.lnk"));
    EXPECT_TRUE(platform.FileExists(group() + L"\\Procesor 7.lnk"));
    EXPECT_TRUE(notices.empty());
}

TEST_F(UninstallTest, EmptyGroupStaysWhenTheEditionsShortcutWasNotThere) {
    platform.files().MakeFolders(group());
    platform.files().WriteFile(desktopLink(), "x");
    panel().BBDeinstal.click();
    EXPECT_TRUE(platform.DirectoryExists(group()));
}

TEST_F(UninstallTest, ShortcutThatCannotBeDeletedStaysTicked) {
    Install();
    platform.lockedFiles.push_back(desktopLink());
    panel().BBWstecz.click();  // leave the finished panel: no acceptance re-run at the end
    panel().CBSkrotPulpit.setChecked(false);
    panel().BBDeinstal.click();
    EXPECT_TRUE(panel().CBSkrotPulpit.checked());
    EXPECT_FALSE(panel().CBSkrotMenuStart.checked());
}

TEST_F(UninstallTest, PartialFilesOfInterruptedDownloadsGoWithTheFilesTheyBelongTo) {
    Install(true);
    panel().BBWstecz.click();
    // What runs killed mid-download leave: the partial files of the program
    // file and of the engine installer, one of them without its finished file.
    platform.files().WriteFile(L"C:\\OR-Vel\\Edytor3.exe.part", "MZ half");
    platform.files().WriteFile(L"C:\\OR-Vel\\Sterowniki\\BDE\\setup.exe.part", "MZ se");
    std::filesystem::remove(platform.files().ToHost(L"C:\\OR-Vel\\Sterowniki\\BDE\\setup.exe"));
    // Database folders keep the install folder; a partial file of another
    // edition is not this removal's business.
    platform.files().WriteFile(L"C:\\OR-Vel\\Edytor2.exe.part", "MZ other");
    panel().BBDeinstal.click();
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Edytor3.exe"));
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Edytor3.exe.part"));
    EXPECT_FALSE(platform.DirectoryExists(L"C:\\OR-Vel\\Sterowniki"));
    EXPECT_TRUE(platform.FileExists(L"C:\\OR-Vel\\Edytor2.exe.part"));
}

TEST_F(UninstallTest, FamilyFolderHoldingOtherFilesIsNamedInTheNotice) {
    // The install folder still has the acceptance's value ("C:"), not C:\OR-Vel.
    platform.files().WriteFile(L"C:\\OR-Vel\\inne.txt", "x");
    context().installDir = L"D:\\stary";
    platform.files().MakeFolders(L"D:\\stary");
    panel().BBDeinstal.click();
    EXPECT_FALSE(platform.DirectoryExists(L"D:\\stary"));
    EXPECT_EQ(notices, std::vector<std::wstring>{L"\"C:\\OR-Vel\"" + kStillUsed});
}

}  // namespace
}  // namespace kanvel::testing
