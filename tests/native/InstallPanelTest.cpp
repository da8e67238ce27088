#include "InstallerHarness.h"
#include "pages/notice/TFormQst.h"

namespace kanvel::testing {
namespace {

class InstallPanelTest : public InstallerTest {
protected:
    void SetUp() override {
        StartUp();
        main().boundsChangedByPeer({200, 100, 730, 360});
    }
    void Accept() { main().RGAkceptacja.choose(0); }
    void Decline() { main().RGAkceptacja.choose(1); }
    void Choose(int edition) { panel().RGKanvel.choose(edition); }
    // Texts of the notices shown while running the action.
    template <class Action>
    std::vector<std::wstring> NoticesDuring(Action action) {
        std::vector<std::wstring> texts;
        toolkit.onModal = [&texts](ui::Form& f) {
            texts.push_back(dynamic_cast<notice::TFormQst&>(f).Label1.caption());
        };
        action();
        toolkit.onModal = nullptr;
        return texts;
    }
    struct Enabled {
        bool edit, browse, desktop, startMenu, engineBox, engineButton, install, program;
        friend bool operator==(const Enabled&, const Enabled&) = default;
    };
    Enabled enabledStates() {
        auto& p = panel();
        return {p.Edit1.enabled(),      p.SBPrzegladaj.enabled(), p.CBSkrotPulpit.enabled(),
                p.CBSkrotMenuStart.enabled(), p.CBParadox.enabled(), p.BBParadox.enabled(),
                p.BBInstal.enabled(),   p.BBProgram.enabled()};
    }
};

TEST_F(InstallPanelTest, CreatedHiddenWithItsDesignedState) {
    auto& p = panel();
    EXPECT_EQ(p.BBProgram.tag(), -1);
    EXPECT_EQ(p.RGKanvel.items(),
              (std::vector<std::wstring>{L"Koordynator", L"Procesor", L"Administrator", L"Asystent", L"Konstruktor"}));
    EXPECT_EQ(p.RGKanvel.columns(), 5);
    EXPECT_EQ(p.RGKanvel.width(), 700);
    EXPECT_EQ(p.RGKanvel.itemIndex(), -1);
    EXPECT_TRUE(p.RGKanvel.enabled());
    EXPECT_EQ(p.CBParadox.caption(), L"Paradox (BDE)");
    EXPECT_NE(p.Label2.caption().find(L"\u201eBaza danych 3.0-70\u201d"), std::wstring::npos);
    EXPECT_NE(p.Label2.caption().find(L"\u201eParadox\u201d"), std::wstring::npos);
    EXPECT_EQ(p.LabelFolder.caption(), L"\\OR-Vel\\");
    EXPECT_EQ(main().SDFile1.initialDir, L"C:");
    EXPECT_TRUE(p.CBProgram.checked());
    EXPECT_FALSE(p.CBBaza.checked());
    EXPECT_FALSE(p.CBParadox.checked());
    EXPECT_EQ(p.SBPrzegladaj.caption(), L"Zmiana folderu instalacji   >>");
    EXPECT_EQ(p.BBInstal.caption(), L"Instaluj zaznaczone");
    EXPECT_FALSE(p.BBDeinstal.enabled());
    EXPECT_EQ(enabledStates(), (Enabled{false, false, true, true, true, false, false, false}));
}

TEST_F(InstallPanelTest, DecliningShowsThePanelWithNothingToInstallAndNoGlide) {
    log.clear();
    const auto shown = NoticesDuring([&] { Decline(); });
    EXPECT_EQ(main().LabelInfo.caption(), L"Nie zaakceptowano warunków licencji");
    EXPECT_TRUE(panel().PanelInstalacji.visible());
    EXPECT_FALSE(main().PanelLic.visible());
    EXPECT_TRUE(panel().CBSkrotPulpit.checked());
    EXPECT_TRUE(panel().CBSkrotMenuStart.checked());
    EXPECT_EQ(enabledStates(), (Enabled{false, false, false, false, false, false, false, false}));
    EXPECT_EQ(panel().BBInstal.caption(), L"Instaluj");
    EXPECT_EQ(panel().BBInstal.effectiveHint(), L"Instalacja programu");
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(log.withPrefix(L"cursor").empty());
    EXPECT_TRUE(log.withPrefix(L"pump").empty());
}

TEST_F(InstallPanelTest, AcceptingEnablesByTheChoiceAndGlidesOntoTheEditions) {
    panel().CBParadox.setChecked(true);
    Accept();
    EXPECT_EQ(main().LabelInfo.caption(), L"Wybierz wersję instalacji");
    EXPECT_EQ(enabledStates(), (Enabled{false, false, true, true, true, true, false, false}));
    EXPECT_EQ(platform.cursor, (ui::Point{200 + 14 + 50, 100 + 34 + 77 + 45}));
}

TEST_F(InstallPanelTest, EditionChosenBeforeOrAfterAcceptance) {
    Decline();
    Choose(0);
    EXPECT_EQ(context().editionName, L"Koordynator");
    EXPECT_EQ(context().programBaseName, L"Edytor3");
    EXPECT_EQ(main().LabelInfo.caption(), L"Instalacja programu Kanvel Koordynator 7.0");
    EXPECT_EQ(enabledStates(), (Enabled{false, false, false, false, false, false, false, false}));

    panel().BBWstecz.click();
    Accept();
    EXPECT_FALSE(panel().BBInstal.enabled());  // the way back cleared the edition
    Choose(3);
    EXPECT_EQ(context().editionName, L"Asystent");
    EXPECT_EQ(context().programBaseName, L"Edytor1a");
    EXPECT_EQ(main().LabelInfo.caption(), L"Instalacja programu Kanvel Asystent 7.0");
    EXPECT_EQ(enabledStates(), (Enabled{true, true, true, true, true, false, true, true}));
    EXPECT_EQ(main().activeControl(), &panel().BBInstal);
}

TEST_F(InstallPanelTest, RemovalIsOfferedWhenAnyOfTheThreeFilesIsFoundAndWithdrawnOtherwise) {
    Accept();
    const std::wstring shortcut = L"Procesor 7.lnk";
    const std::vector<std::wstring> places{
        platform.desktopPath + L"\\" + shortcut,
        platform.programsPath + L"\\Velmarin\\" + shortcut,
        L"C:\\OR-Vel\\Edytor2p.exe",
    };
    for (const auto& place : places) {
        Choose(0);
        panel().RefreshInstallFolder();  // the program file is looked for in C:\OR-Vel
        platform.files().WriteFile(place, "x");
        Choose(1);
        EXPECT_TRUE(panel().BBDeinstal.enabled()) << place;
        EXPECT_EQ(panel().BBDeinstal.effectiveHint(),
                  L"Ponowna instalacja nie wymaga usuwania poprzedniej wersji programu.");
        Choose(4);
        EXPECT_FALSE(panel().BBDeinstal.enabled()) << place;
        EXPECT_EQ(panel().BBDeinstal.effectiveHint(), L"");
        platform.DeleteFileAt(place);
    }
}

TEST_F(InstallPanelTest, RemovalTestAtStartUpLooksForTheStartNames) {
    platform.files().WriteFile(platform.desktopPath + L"\\Edytor 7.lnk", "x");
    StartUp();
    EXPECT_TRUE(panel().BBDeinstal.enabled());
}

class FolderChoiceTest : public InstallPanelTest {
protected:
    void SetUp() override {
        InstallPanelTest::SetUp();
        Accept();
        Choose(0);
    }
    std::vector<std::wstring> Browse(std::optional<std::wstring> answer) {
        toolkit.dialogAnswers.push_back(answer);
        return NoticesDuring([&] { panel().SBPrzegladaj.click(); });
    }
};

TEST_F(FolderChoiceTest, DialogProposesTheProgramFileInTheFirstDrive) {
    Browse(std::nullopt);
    ASSERT_EQ(toolkit.shownDialogs.size(), 1u);
    const auto& d = toolkit.shownDialogs[0];
    EXPECT_EQ(d.kind, ui::FileDialog::Kind::Save);
    EXPECT_EQ(d.title, L"Wskaż folder instalacji");
    EXPECT_EQ(d.fileName, L"Edytor3.exe");
    EXPECT_EQ(d.initialDir, L"C:");
    EXPECT_EQ(d.filter, L"");
    EXPECT_EQ(panel().Edit1.text(), L"C:");  // cancelled: nothing changes
}

TEST_F(FolderChoiceTest, DriveRootBecomesTheBareDrive) {
    Browse(L"D:\\Edytor3.exe");
    EXPECT_EQ(panel().Edit1.text(), L"D:");
    EXPECT_EQ(context().installBase, L"D:");
    EXPECT_EQ(context().installDir, L"D:\\OR-Vel");
}

TEST_F(FolderChoiceTest, FolderGetsAnUpperCaseDriveLetter) {
    Browse(L"d:\\programy\\Edytor3.exe");
    EXPECT_EQ(panel().Edit1.text(), L"D:\\programy");
    EXPECT_EQ(context().installBase, L"D:\\programy");
    EXPECT_EQ(context().installDir, L"D:\\programy\\OR-Vel");
    EXPECT_EQ(panel().LabelFolder.caption(), L"\\OR-Vel\\");
}

TEST_F(FolderChoiceTest, FolderInsideOrVelIsRefusedWithANotice) {
    Browse(L"d:\\dane\\x.exe");
    const auto shown = Browse(L"c:\\or-vel\\stare\\x.exe");
    EXPECT_EQ(shown, std::vector<std::wstring>{L"Folder:  \"OR-Vel\" jest już domyślnym podkatalogiem instalacji."});
    EXPECT_EQ(panel().Edit1.text(), L"D:\\dane");
    EXPECT_EQ(context().installDir, L"D:\\dane\\OR-Vel");
}

TEST_F(FolderChoiceTest, NationalLettersCountWhenLookingForOrVel) {
    const auto shown = Browse(L"e:\\źródło\\or-vel\\x.exe");
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(panel().Edit1.text(), L"C:");
}

// The deepest file of an installation is a table or the engine's installer
// while it downloads, 37 characters below the location:
// "\OR-Vel\Format\Bkp6\config26.val.part", "\OR-Vel\Sterowniki\BDE\setup.exe.part".
// Without long paths a path has at most 259 characters, so a location may
// have 222.
class LongLocationTest : public FolderChoiceTest {
protected:
    static constexpr std::size_t kLongestLocation = 259 - 37;
    static std::wstring LocationOf(std::size_t length) {
        std::wstring location = L"D:";
        while (location.size() < length)
            location += L'\\' + std::wstring(std::min<std::size_t>(100, length - location.size() - 1), L'a');
        return location;
    }
    void SetLongPaths(std::uint32_t enabled) {
        platform.registry().write(services::RegistryRoot::LocalMachine, L"SYSTEM\\CurrentControlSet\\Control\\FileSystem",
                                  {{L"LongPathsEnabled", enabled}});
    }
    static std::wstring RefusalFor(std::size_t deepest) {
        return L"Ścieżka folderu instalacji jest za długa: najdłuższa ścieżka pliku instalacji miałaby " +
               std::to_wstring(deepest) +
               L" znaków, a ten system (bez włączonych długich ścieżek) przyjmuje najwyżej 259. Proszę wskazać "
               L"krótszy folder.";
    }
};

TEST_F(LongLocationTest, WithoutLongPathsTheDeepestFileMustFitMaxPath) {
    const std::wstring longest = LocationOf(kLongestLocation);
    EXPECT_EQ(Browse(longest + L"\\Edytor3.exe"), std::vector<std::wstring>{});
    EXPECT_EQ(panel().Edit1.text(), longest);

    const std::wstring tooLong = LocationOf(kLongestLocation + 1);
    EXPECT_EQ(Browse(tooLong + L"\\Edytor3.exe"), std::vector<std::wstring>{RefusalFor(260)});
    EXPECT_EQ(panel().Edit1.text(), longest);
    EXPECT_EQ(context().installDir, longest + L"\\OR-Vel");

    SetLongPaths(0);
    EXPECT_EQ(Browse(tooLong + L"\\Edytor3.exe").size(), 1u);
    EXPECT_EQ(panel().Edit1.text(), longest);
}

TEST_F(LongLocationTest, WithLongPathsOnlyTheFieldsOwnLimitHolds) {
    SetLongPaths(1);
    const std::wstring deep = LocationOf(700);
    EXPECT_EQ(Browse(deep + L"\\Edytor3.exe"), std::vector<std::wstring>{});
    EXPECT_EQ(panel().Edit1.text(), deep);
    EXPECT_EQ(context().installDir, deep + L"\\OR-Vel");
}

TEST_F(LongLocationTest, ARefusedLocationGivenForAnUnattendedRunEndsAsRefused) {
    EXPECT_EQ(panel().ChooseLocation(LocationOf(kLongestLocation + 1)), install::FolderChoice::Refused);
    EXPECT_EQ(panel().ChooseLocation(LocationOf(kLongestLocation)), install::FolderChoice::Chosen);
}

TEST_F(InstallPanelTest, PackedFilePickAcceptsAnyPathContainingTheNameInAnyCase) {
    auto pick = [&](std::optional<std::wstring> answer) {
        toolkit.dialogAnswers.push_back(answer);
        return main().LokalizacjaPliku(L"setup");
    };
    EXPECT_EQ(pick(L"E:\\Instal\\SETUP._EXE"), L"E:\\Instal\\SETUP._EXE");
    EXPECT_EQ(pick(L"E:\\x\\mysetup._exe"), L"E:\\x\\mysetup._exe");
    EXPECT_EQ(pick(L"E:\\setup.exe"), L"");
    EXPECT_EQ(pick(std::nullopt), L"");
    const auto& d = toolkit.shownDialogs.back();
    EXPECT_EQ(d.kind, ui::FileDialog::Kind::Open);
    EXPECT_EQ(d.title, L"Wskaż plik setup._exe");
    EXPECT_EQ(d.fileName, L"setup");
    EXPECT_EQ(d.initialDir, L"C:");
    EXPECT_EQ(d.defaultExt, L"*._exe");
    EXPECT_EQ(d.filter, L"*._exe|*._exe");
    const auto dialogs = toolkit.shownDialogs.size();
    EXPECT_EQ(main().LokalizacjaPliku(L""), L"");
    EXPECT_EQ(toolkit.shownDialogs.size(), dialogs);  // nothing shown for an empty name
}

TEST_F(InstallPanelTest, BackFromThePanelReturnsToTheLicenceKeepingTheNames) {
    Accept();
    Choose(2);
    panel().SBPrzegladaj.setDown(true);
    log.clear();
    panel().BBWstecz.click();
    EXPECT_EQ(main().LabelInfo.caption(), L"Warunki licencji");
    EXPECT_EQ(panel().RGKanvel.itemIndex(), -1);
    EXPECT_EQ(main().RGAkceptacja.itemIndex(), -1);
    EXPECT_FALSE(panel().PanelInstalacji.visible());
    EXPECT_TRUE(main().PanelLic.visible());
    EXPECT_FALSE(panel().SBPrzegladaj.down());
    EXPECT_EQ(context().editionName, L"Administrator");
    EXPECT_TRUE(panel().BBProgram.enabled());
    // A new acceptance glides again; the program button keeps its state.
    platform.cursor = {0, 0};
    Accept();
    EXPECT_FALSE(log.withPrefix(L"cursor").empty());
    EXPECT_FALSE(panel().BBInstal.enabled());
    EXPECT_TRUE(panel().BBProgram.enabled());
}

TEST_F(InstallPanelTest, BackFromTheFinishedPanelStaysOnTheInstallPanel) {
    Accept();
    Choose(0);
    main().PanelKoniec.show();
    panel().BBInstal.setCaption(L"Uruchom");
    log.clear();
    panel().BBWstecz.click();
    EXPECT_FALSE(main().PanelKoniec.visible());
    EXPECT_TRUE(panel().PanelInstalacji.visible());
    EXPECT_EQ(panel().BBInstal.caption(), L"Instaluj");
    EXPECT_EQ(panel().RGKanvel.itemIndex(), 0);
    EXPECT_TRUE(log.withPrefix(L"cursor").empty());  // the panel was not hidden: no glide
}

TEST_F(InstallPanelTest, OldDefaultFolderIsNoticedOnEveryAcceptance) {
    platform.files().MakeFolders(L"C:\\Velmarin\\Kanvel");
    const std::vector<std::wstring> expected{L"Zmiana domyślnego folderu instalacji na: C:\\OR-Vel."};
    EXPECT_EQ(NoticesDuring([&] { Accept(); }), expected);
    panel().BBWstecz.click();
    EXPECT_EQ(NoticesDuring([&] { Accept(); }), expected);
    panel().BBWstecz.click();
    EXPECT_TRUE(NoticesDuring([&] { Decline(); }).empty());
}

TEST_F(InstallPanelTest, AcceptanceSetsTheInstallFolderToTheLocationWhenTheStartFolderIsMissing) {
    Accept();
    EXPECT_EQ(context().installDir, L"C:");
}

TEST_F(InstallPanelTest, AcceptanceKeepsTheStartFolderWhenItExists) {
    platform.files().MakeFolders(L"C:\\OR-Vel");
    Accept();
    EXPECT_EQ(context().installDir, L"\\OR-Vel\\");
}

// A location given for the run (the command line's, the entry's) that the
// field shows already still decides the install folder: the start value
// names no drive, and a removal would look at the current drive's root.
TEST_F(InstallPanelTest, ALocationTheFieldShowsAlreadyStillSetsTheInstallFolder) {
    platform.files().MakeFolders(L"C:\\OR-Vel");
    Accept();
    ASSERT_EQ(context().installDir, L"\\OR-Vel\\");
    EXPECT_EQ(panel().ChooseLocation(L"C:"), install::FolderChoice::Chosen);
    EXPECT_EQ(context().installBase, L"C:");
    EXPECT_EQ(context().installDir, L"C:\\OR-Vel");
}

TEST_F(InstallPanelTest, InstallFolderRefreshCreatesOnlyTheFamilyFolder) {
    context().installBase = L"D:\\programy";
    panel().RefreshInstallFolder();
    EXPECT_EQ(context().installDir, L"D:\\programy\\OR-Vel");
    EXPECT_FALSE(platform.DirectoryExists(L"D:\\programy"));  // one level only: parent missing
    platform.files().MakeFolders(L"D:\\programy");
    panel().RefreshInstallFolder();
    EXPECT_TRUE(platform.DirectoryExists(L"D:\\programy\\OR-Vel"));
}

}  // namespace
}  // namespace kanvel::testing
