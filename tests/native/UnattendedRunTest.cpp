#include "InstallerHarness.h"
#include "TestSignatures.h"
#include "pages/install/DatabaseFileSets.h"
#include "app/CommandLine.h"
#include "app/CommandLineRun.h"
#include "app/RunLog.h"

namespace kanvel::testing {
namespace {

using Args = std::vector<std::wstring>;

const std::wstring kLogFile = L"C:\\Instal\\Komunikaty.err";

// Runs from the command line on the test platform, as the program entry
// does, and reads the outcome the way an administrator's tools do: the exit
// code, the log file and the files on the disks.
class UnattendedRunTest : public ::testing::Test {
protected:
    TempTree tree;
    platform::host::EventLog events;
    platform::host::HostPlatform platform{tree.path(), events};
    platform::host::ScriptedServer server;
    bool windowOpened = false;

    void SetUp() override {
        platform.httpClientFactory = [this] { return std::make_unique<platform::host::ScriptedHttpClient>(server); };
        platform.files().WriteFile(platform.executablePath, "MZ");
        platform.files().MakeFolders(L"D:\\Programy");
    }

    int Run(const Args& arguments) {
        return app::RunFromCommandLine(platform, arguments, [this] { windowOpened = true; });
    }
    static Args Install(Args more) {
        Args arguments{L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator", L"/DIR=D:\\Programy"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }

    static std::wstring Url(const std::wstring& serverPath) { return std::wstring(KANVEL_DOWNLOAD_BASE_URL) + serverPath; }
    void ServeProgram() { server.responses[Url(L"programy/wersja7/poprawki/Edytor2._exe")] = {.body = "MZ administrator"}; }
    void ServeEngine() { server.responses[Url(L"sterowniki/bde/setup._exe")] = {.body = "MZ setup"}; }
    void ServeTables() {
        for (const auto* set : {&install::kStatementSet, &install::kDataSet, &install::kConfigurationSet})
            for (const auto slot : set->slots)
                if (!slot.empty())
                    server.responses[Url(L"programy/wersja7/bkp6/" + std::wstring(slot))] = {.body = "table"};
    }

    std::string LogText(const std::wstring& path = kLogFile) {
        return platform.FileExists(path) ? platform.files().ReadFile(path) : std::string();
    }
    bool Logged(const std::wstring& text, const std::wstring& path = kLogFile) {
        return LogText(path).find(platform::host::ToAnsi(text)) != std::string::npos;
    }
    std::size_t FilesIn(const std::wstring& folder) {
        const auto host = platform.files().ToHost(folder);
        if (!std::filesystem::is_directory(host)) return 0;
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(host), {}));
    }
    // Nothing a user would notice: no window run, no box, no cursor move,
    // no sleep, no program started.
    void ExpectNothingOnScreen() {
        EXPECT_FALSE(windowOpened);
        for (const wchar_t* prefix : {L"box ", L"message ", L"cursor ", L"sleep ", L"shell ", L"modal ", L"dialog "})
            EXPECT_TRUE(events.withPrefix(prefix).empty()) << std::string(prefix, prefix + std::wcslen(prefix));
    }

    const std::wstring installed = L"D:\\Programy\\OR-Vel";
    const std::wstring desktopLink = platform.desktopPath + L"\\Administrator 7.lnk";
    const std::wstring startLink = platform.programsPath + L"\\Velmarin\\Administrator 7.lnk";
};

TEST_F(UnattendedRunTest, NoArgumentsOpensTheWindowAndUsageShowsABox) {
    EXPECT_EQ(Run({}), 0);
    EXPECT_TRUE(windowOpened);
    EXPECT_FALSE(platform.FileExists(kLogFile));

    windowOpened = false;
    EXPECT_EQ(Run({L"/?"}), 0);
    EXPECT_FALSE(windowOpened);
    ASSERT_EQ(events.withPrefix(L"box ").size(), 1u);
    EXPECT_EQ(events.withPrefix(L"box ")[0], L"box Instalator|" + app::CommandLine::Usage());

    // With /SILENT the usage goes to the log instead.
    events.clear();
    EXPECT_EQ(Run({L"/SILENT", L"/?"}), 0);
    EXPECT_TRUE(events.withPrefix(L"box ").empty());
    EXPECT_TRUE(Logged(L"/COMPONENTS=program,database,engine"));
}

TEST_F(UnattendedRunTest, BadArgumentsInstallNothingAndTheLogNamesTheOption) {
    ServeProgram();
    EXPECT_EQ(Run(Install({L"/COMPONENTS=program,docs"})), 2);
    EXPECT_TRUE(Logged(L"[Instalacja bez okna] błędna opcja /COMPONENTS=program,docs: nieznany element listy: docs\r\n"));
    EXPECT_TRUE(Logged(L"kod wyjścia 2"));
    EXPECT_TRUE(server.requests.empty());
    EXPECT_FALSE(platform.DirectoryExists(installed));
    ExpectNothingOnScreen();

    // Without /SILENT someone is at the screen: the box explains.
    EXPECT_EQ(Run({L"/EDITON=Asystent"}), 2);
    ASSERT_EQ(events.withPrefix(L"box ").size(), 1u);
    EXPECT_EQ(events.withPrefix(L"box ")[0].rfind(L"box Instalator|błędna opcja /EDITON=Asystent: nieznana opcja\n\n", 0), 0u);
    EXPECT_FALSE(windowOpened);
}

TEST_F(UnattendedRunTest, WithoutTheLicenceAcceptedNothingIsDone) {
    ServeProgram();
    EXPECT_EQ(Run({L"/SILENT", L"/EDITION=Administrator", L"/DIR=D:\\Programy"}), 3);
    EXPECT_TRUE(server.requests.empty());
    EXPECT_FALSE(platform.DirectoryExists(installed));
    EXPECT_FALSE(platform.FileExists(desktopLink));
    EXPECT_TRUE(Logged(L"kod wyjścia 3: brak akceptacji warunków licencji"));
    ExpectNothingOnScreen();
}

TEST_F(UnattendedRunTest, InstallsWhatTheWindowWouldWithoutShowingAnything) {
    ServeProgram();
    ServeTables();
    platform.files().WriteFile(L"C:\\Instal\\Program\\Aktualizacja.exe", "update");
    EXPECT_EQ(Run(Install({L"/COMPONENTS=program,database"})), 0);

    EXPECT_EQ(platform.files().ReadFile(installed + L"\\Edytor2.exe"), "MZ administrator");
    EXPECT_EQ(platform.files().ReadFile(installed + L"\\Aktualizacja.exe"), "update");
    EXPECT_EQ(FilesIn(installed + L"\\Format\\Bkp6"), 73u);
    EXPECT_EQ(FilesIn(installed + L"\\Format\\Zestaw") + FilesIn(installed + L"\\Format\\Dbf6") +
                  FilesIn(installed + L"\\Format\\Cfg"),
              73u);
    const std::string link = platform.files().ReadFile(desktopLink);
    EXPECT_NE(link.find("Path=D:\\Programy\\OR-Vel\\Edytor2.exe\n"), std::string::npos);
    EXPECT_NE(link.find("Hotkey=1611"), std::string::npos);  // Ctrl+Alt+K
    EXPECT_EQ(platform.files().ReadFile(startLink), link);
    EXPECT_EQ(server.requests.size(), 74u);
    ExpectNothingOnScreen();
    EXPECT_TRUE(Logged(L"] instalacja edycji Administrator w folderze D:\\Programy\\OR-Vel, składniki: program, baza "
                       L"danych, skróty: pulpit, menu Start\r\n"));
    EXPECT_TRUE(Logged(L"[Wskaż folder instalacji] wybrany folder: D:\\Programy\r\n"));
    EXPECT_TRUE(Logged(L"] kod wyjścia 0: zakończono pomyślnie\r\n"));
}

TEST_F(UnattendedRunTest, ShortcutOptionsDecideWhichShortcutsAreWritten) {
    ServeProgram();
    EXPECT_EQ(Run(Install({L"/SHORTCUTS=desktop"})), 0);
    EXPECT_TRUE(platform.FileExists(desktopLink));
    EXPECT_FALSE(platform.FileExists(startLink));

    platform.DeleteFileAt(desktopLink);
    EXPECT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator", L"/DIR=D:\\Programy", L"/NOSHORTCUTS"}), 0);
    EXPECT_FALSE(platform.FileExists(desktopLink));
    EXPECT_FALSE(platform.FileExists(startLink));
    EXPECT_TRUE(platform.FileExists(installed + L"\\Edytor2.exe"));
}

TEST_F(UnattendedRunTest, TheEngineInstallerIsFetchedButNotStartedAndTheLogSaysHowToRunIt) {
    ServeProgram();
    ServeEngine();
    EXPECT_EQ(Run(Install({L"/COMPONENTS=engine,program", L"/LOG=D:\\logi.txt"})), 0);
    EXPECT_EQ(platform.files().ReadFile(installed + L"\\Sterowniki\\BDE\\setup.exe"), "MZ setup");
    ExpectNothingOnScreen();
    const std::wstring log = L"D:\\logi.txt";
    // The notice the window shows first is answered and the run goes on.
    EXPECT_TRUE(Logged(L"[Uwaga!] Pobranie silnika bazy danych projektów z wersji 3.0-7.0.\r\n", log));
    EXPECT_TRUE(Logged(L"nie uruchomiono: D:\\Programy\\OR-Vel\\Sterowniki\\BDE\\setup.exe", log));
    EXPECT_TRUE(Logged(L"uruchom go osobno, z jego własnymi opcjami instalacji bez okna: "
                       L"D:\\Programy\\OR-Vel\\Sterowniki\\BDE\\setup.exe",
                       log));
    EXPECT_FALSE(platform.FileExists(kLogFile));
}

TEST_F(UnattendedRunTest, AFailedDownloadEndsWithItsCodeAndNothingInstalled) {
    server.responses[Url(L"programy/wersja7/poprawki/Edytor2._exe")] = {.error = L"Socket Error # 10061\r\nConnection refused."};
    EXPECT_EQ(Run(Install({L"/COMPONENTS=engine,program"})), 4);
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_FALSE(platform.FileExists(desktopLink));
    ExpectNothingOnScreen();
    EXPECT_TRUE(Logged(L"[Instalator] Nieudane pobranie pliku: HTTP/1.1 404 Not Found\r\n"));  // the engine
    EXPECT_TRUE(Logged(L"[Instalator] Błąd połączenia z internetem\r\n"));                   // the program
    // The engine's file pick is answered "cancel".
    EXPECT_TRUE(Logged(L"[Wskaż plik setup._exe] wybór pliku pominięty (instalacja bez okna)\r\n"));
    EXPECT_TRUE(Logged(L"[Uwaga!] Wymagane jest pobranie pliku z internetu.\r\n"));
    EXPECT_TRUE(Logged(L"kod wyjścia 4: nieudane pobranie pliku"));
}

// The run without a window starts nothing, but checks all the same: a
// program that is not the maker's is not stored, an engine installer that is
// not the maker's is not offered to run, and the run ends with code 7.
TEST_F(UnattendedRunTest, AProgramNotSignedByTheMakerEndsTheRunWithItsOwnCode) {
    platform.signatures = TestSignatures::Of;
    const auto makersBuild = TestSignatures::MakersBuild();
    auto run = [&](const Args& arguments) {
        return app::RunFromCommandLine(platform, arguments, [this] { windowOpened = true; }, makersBuild);
    };
    server.responses[Url(L"programy/wersja7/poprawki/Edytor2._exe")] = {.body = "MZ unsigned"};
    EXPECT_EQ(run(Install({})), 7);
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_TRUE(Logged(L"[Instalator] Nieudane pobranie pliku: plik nie ma ważnego podpisu cyfrowego producenta\r\n"));
    EXPECT_TRUE(Logged(L"kod wyjścia 7"));

    server.responses[Url(L"programy/wersja7/poprawki/Edytor2._exe")] = {.body = TestSignatures::kByMaker};
    const std::wstring engine = installed + L"\\Sterowniki\\BDE\\setup.exe";
    platform.files().WriteFile(engine, "MZ unsigned, left from an earlier run");
    EXPECT_EQ(run(Install({L"/COMPONENTS=engine,program"})), 7);
    EXPECT_TRUE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_TRUE(Logged(L"[Uwaga!] Plik \"" + engine + L"\" nie ma ważnego podpisu cyfrowego producenta"));
    EXPECT_FALSE(Logged(L"nie uruchomiono: " + engine));
    ExpectNothingOnScreen();
}

TEST_F(UnattendedRunTest, AnAbortedDatabaseCopyEndsTheRunWithItsCode) {
    ServeProgram();
    ServeTables();
    platform.files().WriteFile(installed + L"\\Format\\Dbf6\\baza3.db", "old");
    platform.lockedFiles.push_back(installed + L"\\Format\\Dbf6\\baza3.db");
    EXPECT_EQ(Run(Install({L"/COMPONENTS=program,database"})), 5);
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_TRUE(Logged(L"[Problem zewnętrzny!] Niemożliwe przygotowanie bazy na przyjęcie danych Program należy "
                       L"uruchomić ponownie.\r\n"));
    // The notice keeps its own entry in the message log, as in the window.
    EXPECT_TRUE(Logged(L"Problem zewnętrzny!\r\nNiemożliwe przygotowanie bazy na przyjęcie danych\r\n"));
    EXPECT_TRUE(Logged(L"kod wyjścia 5"));
}

TEST_F(UnattendedRunTest, AnErrorNoHandlerCatchesIsAnUnexpectedError) {
    ServeProgram();
    ServeTables();
    platform.lockedFiles.push_back(installed + L"\\Format\\Dbf6\\baza3.db");
    platform.files().WriteFile(installed + L"\\Format\\Dbf6\\baza3.db", "old");
    // The message log cannot be written: the logged notice fails with an I/O error.
    platform.files().MakeFolders(kLogFile);
    EXPECT_EQ(Run(Install({L"/COMPONENTS=database", L"/LOG=D:\\run.log"})), 1);
    EXPECT_TRUE(Logged(L"[Instalator] I/O error", L"D:\\run.log"));
    EXPECT_TRUE(Logged(L"kod wyjścia 1: nieoczekiwany błąd", L"D:\\run.log"));
    ExpectNothingOnScreen();
}

TEST_F(UnattendedRunTest, RemovalLeavesTheDatabaseFoldersAndSaysSoByItsCode) {
    ServeProgram();
    ServeTables();
    ASSERT_EQ(Run(Install({L"/COMPONENTS=program,database"})), 0);
    EXPECT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/UNINSTALL", L"/EDITION=administrator", L"/DIR=D:\\Programy"}), 6);
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_FALSE(platform.FileExists(desktopLink));
    EXPECT_FALSE(platform.FileExists(startLink));
    EXPECT_EQ(FilesIn(installed + L"\\Format\\Cfg"), 42u);
    EXPECT_TRUE(Logged(L"[Uwaga!] \"D:\\Programy\\OR-Vel\" jest używany przez inny program lub zawiera pliki "
                       L"(foldery) utworzone po instalacji.\r\n"));
    EXPECT_TRUE(Logged(L"kod wyjścia 6: po usunięciu instalacji pozostały foldery"));
    ExpectNothingOnScreen();
}

TEST_F(UnattendedRunTest, RemovalOfAProgramOnlyInstallLeavesNothingAndARepeatFindsNothing) {
    ServeProgram();
    ASSERT_EQ(Run(Install({})), 0);
    const Args uninstall{L"/SILENT", L"/ACCEPTLICENCE", L"/UNINSTALL", L"/EDITION=Administrator", L"/DIR=D:\\Programy"};
    EXPECT_EQ(Run(uninstall), 0);
    EXPECT_FALSE(platform.DirectoryExists(installed));
    EXPECT_TRUE(platform.DirectoryExists(L"D:\\Programy"));
    EXPECT_FALSE(platform.DirectoryExists(platform.programsPath + L"\\Velmarin"));
    EXPECT_EQ(Run(uninstall), 0);
    EXPECT_TRUE(Logged(L"nie znaleziono instalacji edycji Administrator"));
}

TEST_F(UnattendedRunTest, TheFolderFollowsTheRulesOfTheFolderChoice) {
    ServeProgram();
    // A folder inside a family folder is refused with the window's notice.
    platform.files().MakeFolders(L"D:\\or-vel\\stare");
    EXPECT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Procesor", L"/DIR=D:\\or-vel\\stare"}), 2);
    EXPECT_TRUE(Logged(L"[Uwaga!] Folder:  \"OR-Vel\" jest już domyślnym podkatalogiem instalacji.\r\n"));
    // The dialog offers existing folders only.
    EXPECT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Procesor", L"/DIR=E:\\Brak"}), 2);
    EXPECT_TRUE(Logged(L"folder nie istnieje: E:\\Brak"));
    EXPECT_TRUE(server.requests.empty());
    // A drive gets its "OR-Vel" folder at the root, its letter upper-cased.
    EXPECT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator", L"/DIR=d:\\"}), 0);
    EXPECT_TRUE(platform.FileExists(L"D:\\OR-Vel\\Edytor2.exe"));
    EXPECT_TRUE(Logged(L"instalacja edycji Administrator w folderze D:\\OR-Vel,"));
    // Without /DIR the location is drive C:, as the window starts with.
    EXPECT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator"}), 0);
    EXPECT_TRUE(platform.FileExists(L"C:\\OR-Vel\\Edytor2.exe"));
}

TEST(RunLogTest, OneLinePerEntryWithAFixedWidthTimeStamp) {
    EXPECT_EQ(app::RunLog::FormatLine({2017, 1, 5, 9, 7, 3, 45}, L"Uwaga!", L"D:\\x.exe\rzostanie zastąpiony\r\nnową"),
              L"2017-01-05 09:07:03.045 [Uwaga!] D:\\x.exe zostanie zastąpiony  nową\r\n");
    EXPECT_EQ(app::RunLog::FormatLine({2026, 12, 31, 23, 59, 59, 999}, L"", L""), L"2026-12-31 23:59:59.999 [] \r\n");
}

}  // namespace
}  // namespace kanvel::testing
