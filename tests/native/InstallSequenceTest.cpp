#include "InstallerHarness.h"
#include "app/CommandLineRun.h"
#include "pages/notice/TFormQst.h"

namespace kanvel::testing {
namespace {


class InstallSequenceTest : public InstallerTest {
protected:
    void SetUp() override {
        StartUpAcceptedWith(0);  // Koordynator, Edytor3
        ServeProgram(L"Edytor3", "MZ koordynator");
    }
    void ServeProgram(const std::wstring& name, std::string body) {
        server.responses[Url(L"programy/wersja7/poprawki/" + name + L"._exe")] = {.body = std::move(body)};
    }
    void ServeEngine() { server.responses[Url(L"sterowniki/bde/setup._exe")] = {.body = "MZ setup"}; }
    std::vector<std::wstring> boxes() const { return log.withPrefix(L"box "); }
    std::wstring desktopLink(const std::wstring& edition) { return platform.desktopPath + L"\\" + edition + L" 7.lnk"; }
    std::wstring startLink(const std::wstring& edition) {
        return platform.programsPath + L"\\Velmarin\\" + edition + L" 7.lnk";
    }
};

// Answers the window's requests for the server's release list as told.
class ToldReleaseGate : public pages::ReleaseGate {
public:
    Opening answer;
    int asked = 0;
    Opening Open() override {
        ++asked;
        return answer;
    }
};

// The window asks for the server's release list only when a file from the
// server is wanted; a refusal is told in a notice and nothing is fetched,
// whichever button asked. Once the server's answer lets files come, the
// same click installs.
TEST_F(InstallSequenceTest, ARefusedReleaseListStopsEveryFetchWithItsNotice) {
    ToldReleaseGate gate;
    const std::wstring refusal = L"Nie można pobrać plików z serwera: lista plików wydania odrzucona";
    gate.answer.refusal = refusal;
    installer->JudgeReleaseBy(&gate);
    panel().BBInstal.click();
    ASSERT_TRUE(panel().BBProgram.enabled());
    panel().BBProgram.click();
    EXPECT_EQ(notices, (std::vector<std::wstring>{refusal, refusal}));
    EXPECT_EQ(gate.asked, 2);
    EXPECT_TRUE(server.requests.empty());
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Edytor3.exe"));

    gate.answer.refusal.clear();
    panel().BBInstal.click();
    EXPECT_EQ(notices.size(), 2u);
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe"), "MZ koordynator");
}

TEST_F(InstallSequenceTest, NothingTickedOnlySaysSo) {
    panel().CBProgram.setChecked(false);
    panel().BBInstal.click();
    EXPECT_EQ(boxes(), std::vector<std::wstring>{L"box Uwaga!|Brak zaznaczenia wyboru instalacji."});
    EXPECT_TRUE(server.requests.empty());
    EXPECT_TRUE(notices.empty());
}

// The install folder a link to another folder: refused with the folder
// choice's notice before anything is fetched or written, whichever button
// starts the writing.
TEST_F(InstallSequenceTest, AnInstallFolderThatIsALinkIsRefusedWithANotice) {
    platform.files().MakeFolders(L"C:\\Cel");
    std::filesystem::create_directory_symlink(platform.files().ToHost(L"C:\\Cel"), platform.files().ToHost(L"C:\\OR-Vel"));
    panel().BBInstal.click();
    EXPECT_EQ(notices, std::vector<std::wstring>{L"Folder:  \"C:\\OR-Vel\" jest łączem do innego miejsca na dysku. "
                                                 L"Instalacja nie zapisze w nim plików; wybierz inny folder."});
    EXPECT_TRUE(server.requests.empty());
    EXPECT_TRUE(std::filesystem::is_empty(platform.files().ToHost(L"C:\\Cel")));
    EXPECT_FALSE(main().PanelKoniec.visible());
    // The program's own button writes there too: refused the same way.
    ASSERT_TRUE(panel().BBProgram.enabled());
    panel().BBProgram.click();
    EXPECT_EQ(notices.size(), 2u);
    EXPECT_TRUE(server.requests.empty());
}

// The window's way with an older installer: a notice saying which release
// is installed, nothing fetched or written; the same release is installed again.
TEST_F(InstallSequenceTest, ANewerReleaseInstalledIsNotReplacedAndTheNoticeSaysWhy) {
    const std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmarin.Kanvel.Koordynator";
    platform.WriteRegistryValues(services::RegistryRoot::CurrentUser, key,
                                 {{L"InstallLocation", std::wstring(L"C:\\OR-Vel")},
                                  {L"DisplayVersion", std::wstring(L"7.0.1")}});
    panel().BBInstal.click();
    EXPECT_EQ(notices, std::vector<std::wstring>{L"Zainstalowane jest nowsze wydanie programu: Kanvel Koordynator 7.0.1. "
                                                 L"Ten instalator zawiera wydanie " KANVEL_VERSION L" i go nie zastąpi. "
                                                 L"Instalacja nie została wykonana (opcja /ALLOWDOWNGRADE pozwala "
                                                 L"zastąpić nowsze wydanie)."});
    EXPECT_TRUE(server.requests.empty());
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Edytor3.exe"));
    EXPECT_FALSE(main().PanelKoniec.visible());

    platform.WriteRegistryValues(services::RegistryRoot::CurrentUser, key,
                                 {{L"DisplayVersion", std::wstring(KANVEL_VERSION)}});
    panel().BBInstal.click();
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe"), "MZ koordynator");
}

TEST_F(InstallSequenceTest, ProgramOnlyInstallFinishesWithShortcutsAndTheRunButton) {
    platform.files().WriteFile(L"C:\\Instal\\Program\\Aktualizacja.exe", "update");
    panel().BBInstal.click();
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe"), "MZ koordynator");
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Aktualizacja.exe"), "update");
    const std::string link = platform.files().ReadFile(desktopLink(L"Koordynator"));
    EXPECT_EQ(link, "Path=C:\\OR-Vel\\Edytor3.exe\nWorkingDirectory=C:\\OR-Vel\nArguments=\n"
                    "Description=Skrót do programu Kanvel Koordynator 8.0\nShowCmd=1\nHotkey=1611\n");
    EXPECT_EQ(platform.files().ReadFile(startLink(L"Koordynator")), link);
    EXPECT_TRUE(main().PanelKoniec.visible());
    EXPECT_EQ(panel().BBInstal.caption(), L"Uruchom");
    EXPECT_EQ(panel().BBInstal.effectiveHint(), L"Uruchomienie programu");
    EXPECT_EQ(main().LabelInfo.caption(), L"Instalacja zakończona pomyślnie");
    EXPECT_TRUE(panel().BBDeinstal.enabled());
    EXPECT_EQ(panel().BBProgram.tag(), 0);
    EXPECT_TRUE(panel().CBProgram.checked());
    EXPECT_TRUE(notices.empty());

    // "Uruchom" starts the installed program and ends the installer.
    log.clear();
    panel().BBInstal.click();
    EXPECT_EQ(log.withPrefix(L"start "), std::vector<std::wstring>{L"start signed-in user|C:\\OR-Vel\\Edytor3.exe|"});
    EXPECT_TRUE(main().closed());
}

TEST_F(InstallSequenceTest, ProgramFetchedBeforeIsNotFetchedAgainForTheSameEdition) {
    panel().BBProgram.click();
    ASSERT_EQ(server.requests.size(), 1u);
    panel().BBInstal.click();
    EXPECT_EQ(server.requests.size(), 1u);
    EXPECT_EQ(boxes(), std::vector<std::wstring>{L"box Uwaga!|Edytor Bazy Danych został już pobrany."});
    EXPECT_EQ(notices, std::vector<std::wstring>{L"Instalacja przerwana."});
    EXPECT_FALSE(platform.FileExists(desktopLink(L"Koordynator")));
    EXPECT_FALSE(main().PanelKoniec.visible());
}

TEST_F(InstallSequenceTest, AnotherEditionInstallsNormallyBesideTheFirst) {
    panel().BBInstal.click();
    panel().BBWstecz.click();  // back from the finished panel
    EXPECT_EQ(panel().BBInstal.caption(), L"Instaluj");
    panel().BBInstal.click();  // the same edition again
    EXPECT_EQ(notices, std::vector<std::wstring>{L"Instalacja przerwana."});
    ServeProgram(L"Edytor2p", "MZ procesor");
    panel().RGKanvel.choose(1);
    notices.clear();
    panel().BBInstal.click();
    EXPECT_TRUE(platform.FileExists(startLink(L"Procesor")));
    EXPECT_TRUE(platform.FileExists(startLink(L"Koordynator")));
    EXPECT_TRUE(main().PanelKoniec.visible());
}

TEST_F(InstallSequenceTest, ProgramFromAnEarlierRunIsReplacedAfterTheNotice) {
    platform.files().WriteFile(L"C:\\OR-Vel\\Edytor3.exe", "older");
    panel().BBInstal.click();
    EXPECT_EQ(notices, std::vector<std::wstring>{L"C:\\OR-Vel\\Edytor3.exe\rzostanie zastąpiony nową wersją."});
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe"), "MZ koordynator");
    EXPECT_TRUE(main().PanelKoniec.visible());
}

TEST_F(InstallSequenceTest, FailedDownloadWithAnOlderFileStopsAndKeepsIt) {
    platform.files().WriteFile(L"C:\\OR-Vel\\Edytor3.exe", "older");
    server.responses.clear();
    panel().BBInstal.click();
    EXPECT_EQ(log.withPrefix(L"message "), std::vector<std::wstring>{L"message Nieudane pobranie pliku: HTTP/1.1 404 Not Found"});
    EXPECT_EQ(notices.back(), L"Instalacja przerwana.");
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe"), "older");
    EXPECT_FALSE(platform.FileExists(desktopLink(L"Koordynator")));
}

TEST_F(InstallSequenceTest, FailedDownloadWithoutAnyFileAsksForTheDownload) {
    server.responses.clear();
    panel().BBInstal.click();
    EXPECT_EQ(notices, std::vector<std::wstring>{L"Wymagane jest pobranie pliku z internetu."});
}

TEST_F(InstallSequenceTest, EngineStepFetchesStartsAndUnticksThenTheOtherStepsRun) {
    panel().CBParadox.setChecked(true);
    ServeEngine();
    panel().BBInstal.click();
    EXPECT_EQ(notices.front(), L"Pobranie silnika bazy danych projektów z wersji 3.0-7.0.");
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Sterowniki\\BDE\\setup.exe"), "MZ setup");
    EXPECT_EQ(panel().BBParadox.tag(), 1);
    EXPECT_EQ(log.withPrefix(L"start ").front(),
              L"start this account|C:\\OR-Vel\\Sterowniki\\BDE\\setup.exe|C:\\OR-Vel\\Sterowniki\\BDE");
    EXPECT_FALSE(panel().CBParadox.checked());
    EXPECT_FALSE(panel().BBParadox.enabled());
    EXPECT_TRUE(main().PanelKoniec.visible());
}

// An engine installer that was the maker's but did not start (the user said
// "No" at the elevation prompt, or the start failed) is not an installed
// engine: a notice says why and the message log keeps it, the step is
// recorded as not started, and the window run ends with 15. A start that
// works ends it with 0.
TEST_F(InstallSequenceTest, AnEngineStartThatWasDeclinedOrFailedIsToldAndEndsTheWindowRunWith15) {
    const std::wstring engine = L"C:\\OR-Vel\\Sterowniki\\BDE\\setup.exe";
    const std::wstring runLog = L"C:\\Instal\\przebieg.log";
    struct Case {
        const char* what;
        bool declined;
        bool startsSucceed;
        int exitCode;
        std::wstring notice;  // none when it started
        const wchar_t* startEvent;
    };
    const std::vector<Case> cases{
        {"declined at the elevation prompt", true, true, 15,
         L"Instalator silnika bazy danych nie został uruchomiony: nie udzielono zgody na uprawnienia administratora.",
         L"start declined this account|"},
        {"failed to start", false, false, 15, L"Nie udało się uruchomić instalatora silnika bazy danych.",
         L"start this account|"},
        {"started", false, true, 0, L"", L"start this account|"},
    };
    ServeEngine();
    panel().CBProgram.setChecked(false);  // "Instaluj" stays "Instaluj" for the next case
    // The window, as the program runs it: the user presses "Instaluj" and closes it.
    const auto windowRun = [this](const app::WindowSettings&) {
        panel().CBParadox.setChecked(true);
        panel().BBInstal.click();
        return installer->recorder().installation();
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        notices.clear();
        log.clear();
        platform.DeleteFileAt(L"C:\\Instal\\Komunikaty.err");
        platform.DeleteFileAt(runLog);
        platform.elevationDeclined = c.declined;
        platform.startsSucceed = c.startsSucceed;
        EXPECT_EQ(app::RunFromCommandLine(platform, {L"/LOG=" + runLog}, windowRun, verification), c.exitCode);
        const auto& report = installer->recorder().installation();
        EXPECT_EQ(report.engine, c.exitCode == 0 ? install::InstallReport::EngineStep::Started
                                                 : install::InstallReport::EngineStep::NotStarted);
        EXPECT_EQ(log.withPrefix(L"start "), std::vector<std::wstring>{c.startEvent + engine + L"|C:\\OR-Vel\\Sterowniki\\BDE"});
        const bool noticeShown = std::find(notices.begin(), notices.end(), c.notice) != notices.end();
        EXPECT_EQ(noticeShown, !c.notice.empty());
        const bool messageLogged = platform.FileExists(L"C:\\Instal\\Komunikaty.err") &&
                                   platform.files().ReadFile(L"C:\\Instal\\Komunikaty.err").find(platform::host::ToUtf8(engine)) !=
                                       std::string::npos;
        EXPECT_EQ(messageLogged, !c.notice.empty());
        const std::string runLogText = platform.files().ReadFile(runLog);
        const std::string lastLine = "kod wyjścia " + std::to_string(c.exitCode) + ": ";
        EXPECT_NE(runLogText.find(lastLine), std::string::npos) << runLogText;
    }
}

TEST_F(InstallSequenceTest, EngineAlreadyFetchedIsStartedAgainWithoutAFetch) {
    ServeEngine();
    panel().CBParadox.setChecked(true);
    panel().BBParadox.click();
    const auto requests = server.requests.size();
    panel().BBInstal.click();
    EXPECT_EQ(boxes().front(), L"box Uwaga!|Silnik bazy danych został już pobrany.");
    EXPECT_EQ(server.requests.size(), requests + 1);  // only the program file
    EXPECT_EQ(log.withPrefix(L"start ").size(), 1u);
}

TEST_F(InstallSequenceTest, EngineNeitherFetchedNorPickedAsksForTheDownloadAndGoesOn) {
    panel().CBParadox.setChecked(true);
    toolkit.dialogAnswers.push_back(std::nullopt);  // the file pick is cancelled
    panel().BBInstal.click();
    EXPECT_NE(std::find(notices.begin(), notices.end(), L"Wymagane jest pobranie pliku z internetu."), notices.end());
    EXPECT_FALSE(panel().CBParadox.checked());
    EXPECT_TRUE(main().PanelKoniec.visible());  // the program step still ran
}

TEST_F(InstallSequenceTest, PickedPackedEngineIsCopiedIntoPlaceAndStarted) {
    panel().CBParadox.setChecked(true);
    platform.files().WriteFile(L"D:\\Pobrane\\SETUP._EXE", "packed setup");
    toolkit.dialogAnswers.push_back(L"D:\\Pobrane\\SETUP._EXE");
    panel().BBInstal.click();
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Sterowniki\\BDE\\setup.exe"), "packed setup");
    EXPECT_EQ(log.withPrefix(L"start ").front(),
              L"start this account|C:\\OR-Vel\\Sterowniki\\BDE\\setup.exe|C:\\OR-Vel\\Sterowniki\\BDE");
}

TEST_F(InstallSequenceTest, DatabaseFailureEndsTheWholeClickSilently) {
    panel().CBBaza.setChecked(true);
    application->guarded([&] { panel().BBInstal.click(); });
    EXPECT_TRUE(panel().CBBaza.checked());
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Edytor3.exe"));  // the program step did not run
    EXPECT_TRUE(log.withPrefix(L"error ").empty());
}

TEST_F(InstallSequenceTest, WithoutShortcutBoxesTheInstallationFinishesWithoutShortcuts) {
    panel().CBSkrotPulpit.setChecked(false);
    panel().CBSkrotMenuStart.setChecked(false);
    panel().BBInstal.click();
    EXPECT_FALSE(platform.FileExists(desktopLink(L"Koordynator")));
    EXPECT_FALSE(platform.DirectoryExists(platform.programsPath + L"\\Velmarin"));
    EXPECT_TRUE(panel().BBDeinstal.enabled());
}

TEST_F(InstallSequenceTest, InstallButtonDoesNothingWithoutAnAcceptedLicence) {
    panel().BBWstecz.click();
    main().RGAkceptacja.choose(1);
    panel().BBInstal.click();
    EXPECT_TRUE(server.requests.empty());
    EXPECT_TRUE(boxes().empty());
}

TEST_F(InstallSequenceTest, CopyReportsAMissingSource) {
    EXPECT_FALSE(panel().KopiujPlik(L"C:\\brak.exe", L"C:\\cel.exe"));
    EXPECT_EQ(notices, std::vector<std::wstring>{L"Brak pliku: C:\\brak.exe"});
}

}  // namespace
}  // namespace kanvel::testing
