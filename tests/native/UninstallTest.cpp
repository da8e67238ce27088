#include "InstallerHarness.h"
#include "services/paths/InstallationBoundary.h"
#include "pages/notice/TFormQst.h"

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
    // The install folder is another "OR-Vel" than the chosen location's.
    platform.files().WriteFile(L"C:\\OR-Vel\\inne.txt", "x");
    context().installDir = L"D:\\stary\\OR-Vel";
    platform.files().MakeFolders(L"D:\\stary\\OR-Vel");
    panel().BBDeinstal.click();
    EXPECT_FALSE(platform.DirectoryExists(L"D:\\stary\\OR-Vel"));
    EXPECT_EQ(notices, std::vector<std::wstring>{L"\"C:\\OR-Vel\"" + kStillUsed});
}

// Links planted in the installation lead out of it: removal takes the links
// as links (as Windows holds a reparse point opened for removal) and never
// what they lead to; a file reached through a link stays.
TEST_F(UninstallTest, LinksInsideTheInstallationAreRemovedAsLinksNeverFollowed) {
    Install(true);
    panel().BBWstecz.click();
    namespace fs = std::filesystem;
    const auto host = [&](const std::wstring& path) { return platform.files().ToHost(path); };
    // Another program's folder and file, and links to them where ours were.
    platform.files().WriteFile(L"D:\\Inny\\BDE\\setup.exe", "another program's setup");
    platform.files().WriteFile(L"D:\\Inny\\Edytor3.exe", "another program");
    fs::remove_all(host(L"C:\\OR-Vel\\Sterowniki"));
    fs::create_directory_symlink(host(L"D:\\Inny"), host(L"C:\\OR-Vel\\Sterowniki"));
    fs::remove(host(L"C:\\OR-Vel\\Edytor3.exe"));
    fs::create_symlink(host(L"D:\\Inny\\Edytor3.exe"), host(L"C:\\OR-Vel\\Edytor3.exe"));

    panel().BBDeinstal.click();
    EXPECT_EQ(platform.files().ReadFile(L"D:\\Inny\\BDE\\setup.exe"), "another program's setup");
    EXPECT_EQ(platform.files().ReadFile(L"D:\\Inny\\Edytor3.exe"), "another program");
    EXPECT_FALSE(fs::exists(fs::symlink_status(host(L"C:\\OR-Vel\\Sterowniki"))));
    EXPECT_FALSE(platform.DirectoryExists(L"C:\\OR-Vel"));
    EXPECT_TRUE(notices.empty());
}

TEST(InstallationBoundary, ComparesWholeNamesWithoutRegardToCase) {
    EXPECT_TRUE(services::LiesWithin(L"C:\\OR-Vel", L"C:\\OR-Vel"));
    EXPECT_TRUE(services::LiesWithin(L"c:\\or-vel\\Sterowniki", L"C:\\OR-Vel\\"));
    EXPECT_FALSE(services::LiesWithin(L"C:\\OR-Vel2\\Edytor3.exe", L"C:\\OR-Vel"));
    EXPECT_FALSE(services::LiesWithin(L"C:\\OR", L"C:\\OR-Vel"));
    EXPECT_FALSE(services::LiesWithin(L"Z:\\tmp\\inny", L""));
}

TEST_F(UninstallTest, TheKeptInstallerAndTheFolderGoWithTheLastEditionAndEachEntryWithItsOwn) {
    const std::wstring uninstallKeys = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    server.responses[Url(L"programy/wersja7/poprawki/Edytor2p._exe")] = {.body = "MZ procesor"};
    Install();
    panel().BBWstecz.click();
    panel().RGKanvel.choose(1);
    Install();
    const auto& registry = platform.registry();
    EXPECT_TRUE(registry.hasKey(services::RegistryRoot::CurrentUser, uninstallKeys + L"Velmarin.Kanvel.Koordynator"));
    EXPECT_EQ(registry.text(services::RegistryRoot::CurrentUser, uninstallKeys + L"Velmarin.Kanvel.Procesor", L"DisplayName"),
              L"Kanvel Procesor 7.0");

    panel().BBDeinstal.click();
    EXPECT_FALSE(registry.hasKey(services::RegistryRoot::CurrentUser, uninstallKeys + L"Velmarin.Kanvel.Procesor"));
    EXPECT_TRUE(registry.hasKey(services::RegistryRoot::CurrentUser, uninstallKeys + L"Velmarin.Kanvel.Koordynator"));
    // The other edition still needs the kept installer.
    EXPECT_TRUE(platform.FileExists(L"C:\\OR-Vel\\Instalator.exe"));
    EXPECT_EQ(notices, std::vector<std::wstring>{L"\"C:\\OR-Vel\"" + kStillUsed});

    panel().RGKanvel.choose(0);
    panel().BBDeinstal.click();
    EXPECT_TRUE(registry.keys(services::RegistryRoot::CurrentUser).empty());
    EXPECT_FALSE(platform.DirectoryExists(L"C:\\OR-Vel"));
}

TEST_F(UninstallTest, TheEditionsEntryForAnotherFolderStays) {
    const std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmarin.Kanvel.Koordynator";
    Install();
    platform.registry().write(services::RegistryRoot::CurrentUser, key, {{L"InstallLocation", L"D:\\OR-Vel"}});
    panel().BBDeinstal.click();
    EXPECT_FALSE(platform.DirectoryExists(L"C:\\OR-Vel"));
    EXPECT_EQ(platform.registry().text(services::RegistryRoot::CurrentUser, key, L"InstallLocation"), L"D:\\OR-Vel");
}

// Removal while the install folder is still what the acceptance gave it.
class RemovalFolderTest : public UninstallTest {
protected:
    void SetUp() override { StartUp(); }
    // An installation of "Koordynator" with its engine installer in FOLDER.
    void PlaceInstallation(const std::wstring& folder) {
        platform.files().WriteFile(folder + L"\\Edytor3.exe", "MZ ours");
        platform.files().WriteFile(folder + L"\\Sterowniki\\BDE\\setup.exe", "MZ setup");
    }
    void AcceptAndChooseKoordynator() {
        main().RGAkceptacja.choose(0);
        panel().RGKanvel.choose(0);
        CaptureNotices();
    }
};

TEST_F(RemovalFolderTest, BareDriveRemovesItsOrVelFolderAndLeavesOtherProgramsFiles) {
    // Nothing at "\OR-Vel\" when the licence is accepted (the installer runs
    // from another drive): the install folder is the bare "C:".
    AcceptAndChooseKoordynator();
    ASSERT_EQ(context().installDir, L"C:");
    PlaceInstallation(L"C:\\OR-Vel");
    PlaceInstallation(L"C:");  // someone else's files of the same names
    panel().BBDeinstal.click();
    EXPECT_FALSE(platform.DirectoryExists(L"C:\\OR-Vel"));
    EXPECT_EQ(platform.files().ReadFile(L"C:\\Edytor3.exe"), "MZ ours");
    EXPECT_EQ(platform.files().ReadFile(L"C:\\Sterowniki\\BDE\\setup.exe"), "MZ setup");
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(main().LabelInfo.caption(), L"Usunięcie programu zakończone pomyślnie");
}

TEST_F(RemovalFolderTest, ChosenFolderNamesItsOrVelFolderInTheNotice) {
    AcceptAndChooseKoordynator();
    context().installBase = L"D:\\Programy";
    context().installDir = L"D:\\Programy";
    PlaceInstallation(L"D:\\Programy\\OR-Vel");
    platform.files().WriteFile(L"D:\\Programy\\OR-Vel\\Format\\Cfg\\config.db", "dane");
    platform.files().WriteFile(L"D:\\Programy\\Edytor3.exe", "cudzy");
    panel().BBDeinstal.click();
    EXPECT_FALSE(platform.FileExists(L"D:\\Programy\\OR-Vel\\Edytor3.exe"));
    EXPECT_FALSE(platform.DirectoryExists(L"D:\\Programy\\OR-Vel\\Sterowniki"));
    EXPECT_TRUE(platform.FileExists(L"D:\\Programy\\OR-Vel\\Format\\Cfg\\config.db"));
    EXPECT_EQ(platform.files().ReadFile(L"D:\\Programy\\Edytor3.exe"), "cudzy");
    EXPECT_EQ(notices, std::vector<std::wstring>{L"\"D:\\Programy\\OR-Vel\"" + kStillUsed});
}

TEST_F(RemovalFolderTest, StartValueAndAnyFolderNamedOrVelAreUsedAsTheyAre) {
    AcceptAndChooseKoordynator();
    context().installBase = L"D:";
    for (const std::wstring folder : {L"\\OR-Vel\\", L"C:\\Dane\\or-vel"}) {
        context().installDir = folder;
        PlaceInstallation(folder);
        PlaceInstallation(L"D:\\OR-Vel");
        panel().BBDeinstal.click();
        EXPECT_FALSE(platform.FileExists(folder + L"\\Edytor3.exe")) << folder;
        EXPECT_FALSE(platform.DirectoryExists(folder)) << folder;
        // Then the family folder of the location, as for the start value: it
        // holds an installation of its own, so it stays and is named.
        EXPECT_TRUE(platform.FileExists(L"D:\\OR-Vel\\Edytor3.exe")) << folder;
        EXPECT_EQ(notices, std::vector<std::wstring>{L"\"D:\\OR-Vel\"" + kStillUsed}) << folder;
        notices.clear();
    }
}

TEST_F(RemovalFolderTest, RemovalIsOfferedForTheProgramInTheOrVelFolderOnly) {
    platform.files().WriteFile(L"C:\\Edytor3.exe", "cudzy");
    AcceptAndChooseKoordynator();
    ASSERT_EQ(context().installDir, L"C:");
    EXPECT_FALSE(panel().BBDeinstal.enabled());
    PlaceInstallation(L"C:\\OR-Vel");
    panel().RGKanvel.choose(1);
    panel().RGKanvel.choose(0);
    EXPECT_TRUE(panel().BBDeinstal.enabled());
}

}  // namespace
}  // namespace kanvel::testing
