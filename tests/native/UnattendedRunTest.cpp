#include "InstallerHarness.h"
#include "TestRelease.h"
#include "TestSignatures.h"
#include "pages/install/DatabaseFileSets.h"
#include "app/CommandLine.h"
#include "app/CommandLineRun.h"
#include "app/RunLog.h"
#include "services/installer/Editions.h"
#include "services/localcopy/LayoutList.h"

namespace kanvel::testing {
namespace {

using Args = std::vector<std::wstring>;
using services::RegistryRoot;

const std::wstring kLogFile = L"C:\\Users\\Tester\\AppData\\Local\\Temp\\Kanvel-Instalator.log";
const std::wstring kEntryKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmarin.Kanvel.Administrator";
const std::wstring kLockName = L"Velmarin.Kanvel.Instalator";

// The arguments after the program name of a command line, split as
// CommandLineToArgvW splits them (quotes, and backslashes before quotes).
Args SplitAsWindows(const std::wstring& commandLine) {
    Args arguments;
    std::size_t i = 0;
    // The program's name ends at its closing quote or at the first blank.
    if (commandLine[0] == L'"') i = commandLine.find(L'"', 1) + 1;
    i = commandLine.find(L' ', i);
    std::wstring current;
    bool quoted = false, inArgument = false;
    for (; i < commandLine.size(); ++i) {
        const wchar_t c = commandLine[i];
        if (c == L'\\') {
            std::size_t backslashes = 0;
            while (i < commandLine.size() && commandLine[i] == L'\\') ++backslashes, ++i;
            const bool beforeQuote = i < commandLine.size() && commandLine[i] == L'"';
            current.append(beforeQuote ? backslashes / 2 : backslashes, L'\\');
            if (beforeQuote && backslashes % 2 == 1) current += L'"';
            else --i;
            inArgument = true;
        } else if (c == L'"') {
            quoted = !quoted;
            inArgument = true;
        } else if (c == L' ' && !quoted) {
            if (inArgument) arguments.push_back(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument) arguments.push_back(current);
    return arguments;
}

// Runs from the command line on the test platform, as the program entry
// does, and reads the outcome the way an administrator's tools do: the exit
// code, the log file, the registry and the files on the disks.
class UnattendedRunTest : public ::testing::Test {
protected:
    TempTree tree;
    platform::host::EventLog events;
    platform::host::HostPlatform platform{tree.path(), events};
    platform::host::ScriptedServer server;
    bool windowOpened = false;
    app::WindowSettings window;
    // Where the window's files came from (the copy lives only as long as the run).
    std::optional<std::wstring> windowSource;
    // The edition the window removes, leaving only the kept copy it runs from.
    std::optional<std::wstring> removedInWindow;

    void SetUp() override {
        platform.httpClientFactory = [this] { return std::make_unique<platform::host::ScriptedHttpClient>(server); };
        platform.files().WriteFile(platform.executablePath, "MZ");
        platform.files().MakeFolders(L"D:\\Programy");
    }

    int Run(const Args& arguments) {
        return app::RunFromCommandLine(platform, arguments, [this](const app::WindowSettings& settings) {
            windowOpened = true;
            window = settings;
            if (settings.source) windowSource = settings.source->location();
            // The window of a removal's second phase closes: the first run learns the outcome.
            if (settings.releaseKeptCopy) settings.releaseKeptCopy(install::InstallReport{});
            // The window of the kept copy removed this edition, and with it all but that copy.
            if (removedInWindow && settings.handOverKeptCopy) settings.handOverKeptCopy(*removedInWindow);
            return install::InstallReport{};
        });
    }
    static Args Install(Args more) {
        Args arguments{L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator", L"/DIR=D:\\Programy"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }
    static Args Uninstall(Args more = {}) {
        Args arguments{L"/SILENT", L"/UNINSTALL", L"/EDITION=Administrator", L"/DIR=D:\\Programy"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }

    // Program and database installed from the server, then a working table edited by the user.
    void InstallWithTheUsersWork() {
        ServeProgram();
        ServeTables();
        ASSERT_EQ(Run(Install({L"/COMPONENTS=program,database"})), 0);
        platform.files().WriteFile(edited, "the user's work");
    }

    static std::wstring Url(const std::wstring& serverPath) { return std::wstring(KANVEL_DOWNLOAD_BASE_URL) + serverPath; }
    // The release list of every file the server serves now (the list's own
    // URLs aside), signed by `signer`, served beside them.
    void ServeSignedRelease(const std::string& version, const std::string& signer = "signing") {
        const std::wstring base = Url(L"");
        std::map<std::string, std::string> files;
        for (const auto& [url, response] : server.responses)
            if (url.starts_with(base) && url != Url(kListName) && url != Url(kSignatureName))
                files[platform::host::ToUtf8(url.substr(base.size()))] = response.body;
        const auto release = TestRelease::Sign(files, version, signer);
        server.responses[Url(kListName)] = {.body = release.list};
        server.responses[Url(kSignatureName)] = {.body = release.signature};
        platform.trustedRoots = {TestRelease::TrustedRoot()};
    }
    static constexpr const wchar_t* kListName = L"Kanvel-pliki.txt";
    static constexpr const wchar_t* kSignatureName = L"Kanvel-pliki.txt.p7s";

    // The files asked of the server, the release list and its signature
    // (asked for before any file) left out.
    std::vector<std::wstring> FileRequests() const {
        std::vector<std::wstring> urls;
        for (const auto& request : server.requests)
            if (request.url != Url(kListName) && request.url != Url(kSignatureName))
                urls.push_back(request.url);
        return urls;
    }
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
        return LogText(path).find(platform::host::ToUtf8(text)) != std::string::npos;
    }
    std::size_t TimesLogged(const std::wstring& text) {
        const std::string log = LogText(), wanted = platform::host::ToUtf8(text);
        std::size_t count = 0;
        for (auto at = log.find(wanted); at != std::string::npos; at = log.find(wanted, at + 1)) ++count;
        return count;
    }
    std::size_t FilesIn(const std::wstring& folder) {
        const auto host = platform.files().ToHost(folder);
        if (!std::filesystem::is_directory(host)) return 0;
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(host), {}));
    }
    std::optional<std::wstring> EntryText(const std::wstring& name, RegistryRoot root = RegistryRoot::CurrentUser) {
        return platform.registry().text(root, kEntryKey, name);
    }
    // Nothing a user would notice: no window run, no box, no cursor move,
    // no sleep, no program started.
    void ExpectNothingOnScreen() {
        EXPECT_FALSE(windowOpened);
        for (const wchar_t* prefix : {L"box ", L"message ", L"cursor ", L"sleep ", L"shell ", L"start ", L"modal ", L"dialog "})
            EXPECT_TRUE(events.withPrefix(prefix).empty()) << std::string(prefix, prefix + std::wcslen(prefix));
    }

    const std::wstring installed = L"D:\\Programy\\OR-Vel";
    const std::wstring keptCopy = installed + L"\\Instalator.exe";
    const std::wstring desktopLink = platform.desktopPath + L"\\Administrator 7.lnk";
    const std::wstring startLink = platform.programsPath + L"\\Velmarin\\Administrator 7.lnk";
    const std::wstring edited = installed + L"\\Format\\Dbf6\\baza3.db";
};

TEST_F(UnattendedRunTest, TheWindowTakesTheFolderTheLogAndTheScopeAndUsageShowsABox) {
    EXPECT_EQ(Run({}), 0);
    EXPECT_TRUE(windowOpened);
    EXPECT_EQ(window.scope, services::InstallScope::CurrentUser);
    EXPECT_FALSE(window.location);
    EXPECT_FALSE(platform.FileExists(kLogFile));

    // winget install -i: the folder (created, as it need not exist yet) and the log, with blanks.
    windowOpened = false;
    EXPECT_EQ(Run({L"/LOG=D:\\Moje logi.txt", L"/DIR=D:\\Moje programy\\Kanvel", L"/ALLUSERS", L"/SP-"}), 0);
    EXPECT_TRUE(windowOpened);
    EXPECT_EQ(window.scope, services::InstallScope::AllUsers);
    EXPECT_EQ(window.location, L"D:\\Moje programy\\Kanvel");
    EXPECT_TRUE(platform.DirectoryExists(L"D:\\Moje programy\\Kanvel"));
    EXPECT_TRUE(Logged(L"utworzono folder: D:\\Moje programy\\Kanvel", L"D:\\Moje logi.txt"));
    EXPECT_TRUE(Logged(L"kod wyjścia 0", L"D:\\Moje logi.txt"));

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
    // A folder longer than the location field is refused, not cut.
    EXPECT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator", L"/DIR=D:\\" + std::wstring(1100, L'a')}), 2);
    EXPECT_TRUE(Logged(L"folder dłuższy niż 1025 znaków"));
    EXPECT_TRUE(server.requests.empty());
    EXPECT_FALSE(platform.DirectoryExists(installed));
    ExpectNothingOnScreen();

    // Without /SILENT someone is at the screen: the box explains.
    EXPECT_EQ(Run({L"/EDITON=Asystent"}), 2);
    ASSERT_EQ(events.withPrefix(L"box ").size(), 1u);
    EXPECT_EQ(events.withPrefix(L"box ")[0].rfind(L"box Instalator|błędna opcja /EDITON=Asystent: nieznana opcja\n\n", 0), 0u);
    EXPECT_EQ(Run({L"/EDITION=Asystent"}), 2);
    EXPECT_FALSE(windowOpened);
}

TEST_F(UnattendedRunTest, ALogThatCannotBeWrittenStopsTheRunBeforeAnything) {
    ServeProgram();
    platform.files().MakeFolders(L"D:\\logi");
    for (const wchar_t* log : {L"/LOG=D:\\logi", L"/LOG=D:\\brak\\kanvel.log", L"/LOG=NUL", L"/LOG=D:\\logi\\con.txt"})
        EXPECT_EQ(Run(Install({log})), 2) << platform::host::ToUtf8(log);
    EXPECT_TRUE(server.requests.empty());
    EXPECT_FALSE(platform.DirectoryExists(installed));
    ExpectNothingOnScreen();
    // A window run says so in a box.
    EXPECT_EQ(Run({L"/LOG=D:\\logi"}), 2);
    EXPECT_EQ(events.withPrefix(L"box "),
              std::vector<std::wstring>{L"box Instalator|Nie można zapisać dziennika przebiegu (/LOG): D:\\logi"});
    EXPECT_FALSE(windowOpened);
}

// A log name that is a link (a symbolic link, dangling or not, or one more
// name of another file) is not written through: whoever placed it there first
// would have the run write into a file of their choosing. The run ends as
// for any log that cannot be written.
TEST_F(UnattendedRunTest, ALogThatIsALinkIsNotWrittenThroughAndStopsTheRun) {
    ServeProgram();
    namespace fs = std::filesystem;
    platform.files().WriteFile(L"D:\\cel.txt", "cel");
    const fs::path target = platform.files().ToHost(L"D:\\cel.txt");
    fs::create_symlink(target, platform.files().ToHost(L"D:\\dowiazanie.log"));
    fs::create_symlink(platform.files().ToHost(L"D:\\brak.txt"), platform.files().ToHost(L"D:\\wiszace.log"));
    fs::create_hard_link(target, platform.files().ToHost(L"D:\\druga-nazwa.log"));
    for (const wchar_t* log : {L"/LOG=D:\\dowiazanie.log", L"/LOG=D:\\wiszace.log", L"/LOG=D:\\druga-nazwa.log"})
        EXPECT_EQ(Run(Install({log})), 2) << platform::host::ToUtf8(log);
    // The default log's name, planted as a link in the temporary folder.
    platform.files().MakeFolders(platform.temporaryPath);
    fs::create_symlink(target, platform.files().ToHost(kLogFile));
    EXPECT_EQ(Run(Install({})), 2);

    EXPECT_EQ(platform.files().ReadFile(L"D:\\cel.txt"), "cel");
    EXPECT_FALSE(platform.FileExists(L"D:\\brak.txt"));
    EXPECT_TRUE(server.requests.empty());
    EXPECT_FALSE(platform.DirectoryExists(installed));
    ExpectNothingOnScreen();
}

TEST_F(UnattendedRunTest, WithoutTheLicenceAcceptedNothingIsInstalled) {
    ServeProgram();
    EXPECT_EQ(Run({L"/SILENT", L"/EDITION=Administrator", L"/DIR=D:\\Programy"}), 3);
    EXPECT_TRUE(server.requests.empty());
    EXPECT_FALSE(platform.DirectoryExists(installed));
    EXPECT_FALSE(platform.FileExists(desktopLink));
    EXPECT_TRUE(Logged(L"kod wyjścia 3: brak akceptacji warunków licencji"));
    ExpectNothingOnScreen();
}

TEST_F(UnattendedRunTest, InstallsWhatTheWindowWouldWithoutShowingAnythingAndLogsInUtf8) {
    ServeProgram();
    ServeTables();
    platform.files().WriteFile(L"C:\\Instal\\Program\\Aktualizacja.exe", "update");
    EXPECT_EQ(Run(Install({L"/VERYSILENT", L"/SUPPRESSMSGBOXES", L"/NORESTART", L"/COMPONENTS=program,database"})), 0);

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
    EXPECT_EQ(FileRequests().size(), 74u);
    ExpectNothingOnScreen();
    // The run's own file in the temporary folder, UTF-8 with its mark; the first line says where it is.
    const std::string log = LogText();
    ASSERT_EQ(log.rfind("\xEF\xBB\xBF", 0), 0u);
    const std::string firstLine = log.substr(0, log.find("\r\n") + 2);
    EXPECT_TRUE(firstLine.ends_with("[Instalacja bez okna] dziennik przebiegu: " + platform::host::ToUtf8(kLogFile) + "\r\n"))
        << firstLine;
    EXPECT_TRUE(Logged(L"] instalacja edycji Administrator w folderze D:\\Programy\\OR-Vel, składniki: program, baza "
                       L"danych, skróty: pulpit, menu Start\r\n"));
    EXPECT_TRUE(Logged(L"] folder instalacji: D:\\Programy\r\n"));
    EXPECT_TRUE(Logged(L"] kod wyjścia 0: zakończono pomyślnie\r\n"));
    // The database notices' own log is not the run's log.
    EXPECT_FALSE(platform.FileExists(L"C:\\Instal\\Komunikaty.err"));
}

TEST_F(UnattendedRunTest, ARepeatedInstallKeepsTheUsersWorkAndResetDatabaseReplacesIt) {
    InstallWithTheUsersWork();
    platform.files().WriteFile(installed + L"\\Format\\Cfg\\config1.db", "settings");
    platform.DeleteFileAt(installed + L"\\Format\\Cfg\\config2.db");

    EXPECT_EQ(Run(Install({L"/COMPONENTS=program,database"})), 0);
    EXPECT_EQ(platform.files().ReadFile(edited), "the user's work");
    EXPECT_EQ(platform.files().ReadFile(installed + L"\\Format\\Cfg\\config1.db"), "settings");
    EXPECT_EQ(platform.files().ReadFile(installed + L"\\Format\\Cfg\\config2.db"), "table");  // a missing one is added
    EXPECT_EQ(TimesLogged(L"zastąpiony pierwotnym"), 0u);
    EXPECT_TRUE(Logged(L"istniejące pliki robocze bazy danych pozostały bez zmian"));

    EXPECT_EQ(Run(Install({L"/COMPONENTS=program,database", L"/RESETDATABASE"})), 0);
    EXPECT_EQ(platform.files().ReadFile(edited), "table");
    EXPECT_TRUE(Logged(L"] plik roboczy bazy danych zastąpiony pierwotnym: " + edited + L"\r\n"));
    EXPECT_EQ(TimesLogged(L"zastąpiony pierwotnym"), 73u);
}

// What the user broke is mended, what the user made stays: the program file
// and the desktop shortcut deleted, a table file missing, a working table
// edited and another deleted. The repair finds the installation by its entry
// (winget names only the edition) and takes the options winget adds.
TEST_F(UnattendedRunTest, ARepairRestoresWhatIsMissingAndKeepsTheUsersTables) {
    InstallWithTheUsersWork();
    const std::wstring program = installed + L"\\Edytor2.exe";
    const std::wstring pristineTable = installed + L"\\Format\\Bkp6\\config2.db";
    ASSERT_TRUE(platform.FileExists(pristineTable));
    platform.DeleteFileAt(program);
    platform.DeleteFileAt(desktopLink);
    platform.DeleteFileAt(pristineTable);
    platform.DeleteFileAt(installed + L"\\Format\\Cfg\\config2.db");
    platform.files().WriteFile(installed + L"\\Format\\Cfg\\config1.db", "settings");
    platform.registry().write(RegistryRoot::CurrentUser, kEntryKey, {{L"DisplayIcon", std::wstring(L"x")}});
    server.requests.clear();

    EXPECT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator", L"/COMPONENTS=program,database",
                   L"/LOG=D:\\naprawa.log", L"/REPAIR"}),
              0);
    EXPECT_TRUE(Logged(L"naprawa instalacji edycji Administrator w folderze " + installed, L"D:\\naprawa.log"));
    EXPECT_EQ(platform.files().ReadFile(program), "MZ administrator");
    EXPECT_TRUE(platform.FileExists(desktopLink));
    EXPECT_TRUE(platform.FileExists(startLink));
    EXPECT_EQ(platform.files().ReadFile(edited), "the user's work");
    EXPECT_EQ(platform.files().ReadFile(installed + L"\\Format\\Cfg\\config1.db"), "settings");
    EXPECT_EQ(platform.files().ReadFile(installed + L"\\Format\\Cfg\\config2.db"), "table");
    EXPECT_EQ(platform.files().ReadFile(pristineTable), "table");
    EXPECT_EQ(EntryText(L"DisplayIcon"), program);
    // The program and the one missing table file, nothing else.
    ASSERT_EQ(FileRequests().size(), 2u);
    EXPECT_EQ(FileRequests()[0], Url(L"programy/wersja7/bkp6/config2.db"));
    EXPECT_EQ(FileRequests()[1], Url(L"programy/wersja7/poprawki/Edytor2._exe"));
    EXPECT_FALSE(platform.DirectoryExists(L"C:\\OR-Vel"));
    ExpectNothingOnScreen();

    // The repair a user runs by hand: the edition and the folder, no licence, the database found where it lies.
    platform.files().WriteFile(edited, "more work");
    platform.DeleteFileAt(program);
    EXPECT_EQ(Run({L"/SILENT", L"/REPAIR", L"/EDITION=Administrator", L"/DIR=D:\\Programy"}), 0);
    EXPECT_TRUE(platform.FileExists(program));
    EXPECT_EQ(platform.files().ReadFile(edited), "more work");
}

TEST_F(UnattendedRunTest, ARepairOfNothingEndsWith2AndTheWindowsRepairKeepsTheTables) {
    EXPECT_EQ(Run({L"/SILENT", L"/REPAIR", L"/EDITION=Administrator", L"/DIR=D:\\Programy"}), 2);
    EXPECT_TRUE(Logged(L"nie ma czego naprawić: brak instalacji edycji Administrator w folderze " + installed));
    EXPECT_TRUE(FileRequests().empty());
    EXPECT_FALSE(platform.DirectoryExists(installed));

    // Settings' "Modify" runs the entry's ModifyPath: the window, its folder preset, for a repair.
    ServeProgram();
    ASSERT_EQ(Run(Install({})), 0);
    ASSERT_EQ(Run(SplitAsWindows(*EntryText(L"ModifyPath"))), 0);
    EXPECT_TRUE(windowOpened);
    EXPECT_TRUE(window.repair);
    EXPECT_EQ(window.location, L"D:\\Programy");
    windowOpened = false;
    ASSERT_EQ(Run({}), 0);
    EXPECT_FALSE(window.repair);
}

TEST_F(UnattendedRunTest, AnInstalledProgramIsListedInAppsAndFeaturesWithTheKeptInstaller) {
    ServeProgram();
    platform.executablePath = L"\\\\serwer\\pakiety\\Instalator.exe";
    platform.files().WriteFile(platform.executablePath, "MZ installer");
    ASSERT_EQ(Run(Install({})), 0);
    EXPECT_EQ(platform.files().ReadFile(keptCopy), "MZ installer");
    EXPECT_EQ(EntryText(L"DisplayName"), L"Kanvel Administrator 7.0");
    EXPECT_EQ(EntryText(L"DisplayVersion"), std::wstring(KANVEL_VERSION));
    EXPECT_EQ(EntryText(L"Publisher"), L"Velmarin Sp. z o.o.");
    EXPECT_EQ(EntryText(L"InstallLocation"), installed);
    EXPECT_EQ(EntryText(L"DisplayIcon"), installed + L"\\Edytor2.exe");
    EXPECT_EQ(EntryText(L"InstallDate"), L"20170105");
    const std::wstring owner = L" /OWNER=" + platform.accountId;
    EXPECT_EQ(EntryText(L"UninstallString"), L"\"" + keptCopy + L"\" /UNINSTALL \"/DIR=D:\\Programy\"" + owner);
    EXPECT_EQ(EntryText(L"QuietUninstallString"),
              L"\"" + keptCopy + L"\" /SILENT /UNINSTALL /EDITION=Administrator \"/DIR=D:\\Programy\"" + owner);
    const auto& registry = platform.registry();
    // Repair is offered: Settings' "Modify" starts the window's repair, and winget repairs only without these flags.
    EXPECT_EQ(EntryText(L"ModifyPath"), L"\"" + keptCopy + L"\" /REPAIR \"/DIR=D:\\Programy\"" + owner);
    EXPECT_EQ(registry.number(RegistryRoot::CurrentUser, kEntryKey, L"NoModify"), 0u);
    EXPECT_EQ(registry.number(RegistryRoot::CurrentUser, kEntryKey, L"NoRepair"), 0u);
    EXPECT_EQ(registry.number(RegistryRoot::CurrentUser, kEntryKey, L"EstimatedSize"), 1u);  // 28 bytes: 1 KiB
    EXPECT_TRUE(registry.keys(RegistryRoot::LocalMachine).empty());
    EXPECT_TRUE(Logged(L"wpis w „Aplikacje i funkcje”: HKEY_CURRENT_USER\\" + kEntryKey));

    // Another edition gets an entry of its own.
    server.responses[Url(L"programy/wersja7/poprawki/Edytor3._exe")] = {.body = "MZ koordynator"};
    ASSERT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Koordynator", L"/DIR=D:\\Programy"}), 0);
    EXPECT_EQ(registry.keys(RegistryRoot::CurrentUser).size(), 2u);
}

// The entry's command lines as Windows runs them, for a location that is a
// bare drive (whose folder the panel shows from the start), a folder, and a
// folder with blanks.
TEST_F(UnattendedRunTest, TheQuietUninstallStringRunAsWindowsRunsItRemovesEverythingAndTheEntry) {
    ServeProgram();
    for (const std::wstring location : {L"C:", L"D:\\Programy", L"D:\\Moje programy"}) {
        SCOPED_TRACE(platform::host::ToUtf8(location));
        const std::wstring folder = location + L"\\OR-Vel";
        const std::wstring kept = folder + L"\\Instalator.exe";
        platform.executablePath = L"D:\\Pobrane\\Instalator.exe";
        platform.files().WriteFile(platform.executablePath, "MZ");
        platform.lockedFiles.clear();
        platform.copyRuns.clear();
        platform.reportedToFirstPhase.clear();
        ASSERT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator", L"/DIR=" + location}), 0);
        EXPECT_EQ(EntryText(L"UninstallString"),
                  L"\"" + kept + L"\" /UNINSTALL \"/DIR=" + location + L"\" /OWNER=" + platform.accountId);
        const Args quiet = SplitAsWindows(*EntryText(L"QuietUninstallString"));
        EXPECT_EQ(quiet[quiet.size() - 2], L"/DIR=" + location);

        // Windows starts the kept copy, which goes on from a temporary copy and ends with its code.
        platform.executablePath = kept;
        platform.copyOutcome = 0;
        EXPECT_EQ(Run(quiet), 0);
        ASSERT_EQ(platform.copyRuns.size(), 1u);
        EXPECT_TRUE(platform.copyRuns[0].waited);
        Args copyArguments = quiet;
        copyArguments.push_back(L"/SECONDPHASE=first-phase");
        EXPECT_EQ(platform.copyRuns[0].arguments, copyArguments);
        EXPECT_TRUE(platform.FileExists(folder + L"\\Edytor2.exe"));  // the first phase removes nothing

        // The copy runs while the first phase still holds the kept installer's file.
        platform.executablePath = platform.temporaryPath + L"\\Kanvel-1\\Instalator.exe";
        platform.files().WriteFile(platform.executablePath, "MZ");
        platform.lockedFiles.push_back(kept);
        platform.firstPhaseExecutable = kept;
        EXPECT_EQ(Run(copyArguments), 0);
        EXPECT_EQ(platform.reportedToFirstPhase, std::vector<int>{0});
        EXPECT_TRUE(Logged(L"usunięcie instalacji edycji Administrator w folderze " + folder + L"\r\n"));
        EXPECT_FALSE(platform.FileExists(desktopLink));
        EXPECT_FALSE(platform.FileExists(startLink));
        EXPECT_FALSE(platform.registry().hasKey(RegistryRoot::CurrentUser, kEntryKey));
        // Once the first phase has ended, its file and the folders go too, without a notice.
        EXPECT_FALSE(platform.DirectoryExists(folder));
        EXPECT_TRUE(platform.DirectoryExists(location + L"\\"));
        EXPECT_FALSE(Logged(L"jest używany przez inny program"));
    }
    ExpectNothingOnScreen();
}

// An upgrade (the same command without /DIR, as winget runs it) goes where
// the edition's entry says: the run's scope first, then the other; with no
// entry, the usual default. The last install's components and shortcuts are
// kept in the entry and taken by a run that names none.
TEST_F(UnattendedRunTest, ARunWithoutALocationGoesWhereTheEditionsEntrySays) {
    ServeProgram();
    ServeTables();
    const Args withoutLocation{L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator"};
    ASSERT_EQ(Run(Install({L"/COMPONENTS=program,database", L"/SHORTCUTS=desktop"})), 0);
    EXPECT_EQ(EntryText(L"KanvelLocation"), L"D:\\Programy");
    EXPECT_EQ(EntryText(L"KanvelComponents"), L"program,database");
    EXPECT_EQ(EntryText(L"KanvelShortcuts"), L"desktop");
    platform.files().WriteFile(edited, "the user's work");

    ASSERT_EQ(Run(withoutLocation), 0);
    EXPECT_FALSE(platform.DirectoryExists(L"C:\\OR-Vel"));
    EXPECT_TRUE(Logged(L"miejsce instalacji z wpisu w „Aplikacje i funkcje”: D:\\Programy\r\n"));
    EXPECT_TRUE(Logged(L"instalacja edycji Administrator w folderze D:\\Programy\\OR-Vel, składniki: program, baza "
                       L"danych, skróty: pulpit\r\n"));
    EXPECT_EQ(platform.files().ReadFile(edited), "the user's work");
    EXPECT_FALSE(platform.FileExists(startLink));
    EXPECT_EQ(platform.registry().keys(RegistryRoot::CurrentUser).size(), 1u);
    EXPECT_EQ(EntryText(L"InstallLocation"), installed);
    // What the command line names wins over the entry, and becomes the last install's.
    ASSERT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator", L"/NOSHORTCUTS"}), 0);
    EXPECT_EQ(EntryText(L"KanvelShortcuts"), L"");
    EXPECT_EQ(EntryText(L"KanvelComponents"), L"program,database");

    // The other scope's entry when the run's scope has none: its location and its scope.
    platform.registry().remove(RegistryRoot::CurrentUser, kEntryKey);
    platform.WriteRegistryValues(RegistryRoot::LocalMachine, kEntryKey,
                                 {{L"InstallLocation", std::wstring(L"D:\\Wspólne\\OR-Vel")}});
    platform.files().MakeFolders(L"D:\\Wspólne");
    ASSERT_EQ(Run(withoutLocation), 0);
    EXPECT_TRUE(Logged(L"miejsce instalacji z wpisu w „Aplikacje i funkcje”: D:\\Wspólne (dla wszystkich użytkowników)"));
    EXPECT_TRUE(platform.FileExists(L"D:\\Wspólne\\OR-Vel\\Edytor2.exe"));
    EXPECT_EQ(platform.registry().text(RegistryRoot::LocalMachine, kEntryKey, L"KanvelLocation"), L"D:\\Wspólne");
    EXPECT_FALSE(platform.registry().hasKey(RegistryRoot::CurrentUser, kEntryKey));
    // This scope's entry comes first.
    ASSERT_EQ(Run(Install({})), 0);
    platform.DeleteFileAt(kLogFile);
    ASSERT_EQ(Run(withoutLocation), 0);
    EXPECT_TRUE(Logged(L"miejsce instalacji z wpisu w „Aplikacje i funkcje”: D:\\Programy\r\n"));
    // A scope named on the command line looks at its own entry only.
    platform.registry().remove(RegistryRoot::CurrentUser, kEntryKey);
    ASSERT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator", L"/CURRENTUSER"}), 0);
    EXPECT_TRUE(platform.FileExists(L"C:\\OR-Vel\\Edytor2.exe"));
}

TEST_F(UnattendedRunTest, WithoutAnEntryOrWithAnEntryItRefusesTheUsualDefaultsHold) {
    ServeProgram();
    ASSERT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator"}), 0);
    EXPECT_TRUE(platform.FileExists(L"C:\\OR-Vel\\Edytor2.exe"));
    EXPECT_FALSE(Logged(L"miejsce instalacji z wpisu"));
    EXPECT_TRUE(platform.FileExists(desktopLink));
    EXPECT_TRUE(platform.FileExists(startLink));
    EXPECT_EQ(EntryText(L"KanvelLocation"), L"C:");
    // An entry whose location the command line would refuse is not followed.
    platform.WriteRegistryValues(RegistryRoot::CurrentUser, kEntryKey,
                                 {{L"KanvelLocation", std::wstring(L"D:\\Programy\\..\\..")}});
    platform.DeleteFileAt(L"C:\\OR-Vel\\Edytor2.exe");
    ASSERT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator"}), 0);
    EXPECT_TRUE(platform.FileExists(L"C:\\OR-Vel\\Edytor2.exe"));
}

// The window (which names no edition) starts with the location of the first
// edition that has an entry, for that entry's scope.
TEST_F(UnattendedRunTest, TheWindowStartsWithTheLocationOfAnInstalledEdition) {
    platform.WriteRegistryValues(RegistryRoot::LocalMachine, kEntryKey,
                                 {{L"InstallLocation", std::wstring(L"D:\\Programy\\OR-Vel")}});
    EXPECT_EQ(Run({}), 0);
    ASSERT_TRUE(windowOpened);
    EXPECT_EQ(window.location, L"D:\\Programy");
    EXPECT_EQ(window.scope, services::InstallScope::AllUsers);
}

// An installer older than the installed release: refused with 16 and
// nothing done, unless /ALLOWDOWNGRADE; the same release or an older one is
// replaced as before.
TEST_F(UnattendedRunTest, AnOlderInstallerDoesNotReplaceANewerReleaseUnlessAllowed) {
    ServeProgram();
    ASSERT_EQ(Run(Install({})), 0);
    platform.files().WriteFile(installed + L"\\Edytor2.exe", "MZ newer release");
    platform.WriteRegistryValues(RegistryRoot::CurrentUser, kEntryKey, {{L"DisplayVersion", std::wstring(L"7.10")}});
    const std::size_t requestsBefore = FileRequests().size();
    EXPECT_EQ(Run(Install({})), 16);
    EXPECT_EQ(FileRequests().size(), requestsBefore);
    EXPECT_EQ(platform.files().ReadFile(installed + L"\\Edytor2.exe"), "MZ newer release");
    EXPECT_EQ(EntryText(L"DisplayVersion"), L"7.10");
    EXPECT_TRUE(Logged(L"Zainstalowane jest nowsze wydanie programu: Kanvel Administrator 7.10."));
    EXPECT_TRUE(Logged(L"kod wyjścia 16: "));
    // A removal is no downgrade.
    EXPECT_EQ(Run(Uninstall({L"/ALLOWDOWNGRADE"})), 2);

    EXPECT_EQ(Run(Install({L"/ALLOWDOWNGRADE"})), 0);
    EXPECT_EQ(platform.files().ReadFile(installed + L"\\Edytor2.exe"), "MZ administrator");
    EXPECT_EQ(EntryText(L"DisplayVersion"), std::wstring(KANVEL_VERSION));
    // The same release again, or an older one installed, is no downgrade.
    EXPECT_EQ(Run(Install({})), 0);
    platform.WriteRegistryValues(RegistryRoot::CurrentUser, kEntryKey, {{L"DisplayVersion", std::wstring(L"6.9.9")}});
    EXPECT_EQ(Run(Install({})), 0);
}

// The kept copy works where it lies, except for a removal: Settings'
// "Uninstall" (the UninstallString) goes on from a temporary copy, and the
// kept copy's run waits for that copy's window to close and ends with its
// code, so that Settings refreshes its list only once the removal is done.
TEST_F(UnattendedRunTest, OnlyARemovalLeavesTheKeptCopyAndItsFirstRunWaitsForTheCopysWindow) {
    ServeProgram();
    ASSERT_EQ(Run(Install({})), 0);
    platform.executablePath = keptCopy;
    EXPECT_EQ(Run({}), 0);
    EXPECT_TRUE(windowOpened);
    EXPECT_EQ(Run(SplitAsWindows(*EntryText(L"ModifyPath"))), 0);
    platform.DeleteFileAt(installed + L"\\Edytor2.exe");
    EXPECT_EQ(Run({L"/SILENT", L"/REPAIR", L"/EDITION=Administrator"}), 0);
    EXPECT_TRUE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_TRUE(platform.copyRuns.empty());

    // The first run: no window of its own; it ends with the copy's code.
    windowOpened = false;
    platform.copyOutcome = 6;
    const Args removal = SplitAsWindows(*EntryText(L"UninstallString"));
    EXPECT_EQ(Run(removal), 6);
    EXPECT_FALSE(windowOpened);
    ASSERT_EQ(platform.copyRuns.size(), 1u);
    EXPECT_TRUE(platform.copyRuns[0].waited);
    Args copyArguments = removal;
    copyArguments.push_back(L"/SECONDPHASE=first-phase");
    EXPECT_EQ(platform.copyRuns[0].arguments, copyArguments);

    // The copy's window: its outcome goes to the first run when it closes,
    // and only then does it wait for the first run to end.
    platform.executablePath = platform.temporaryPath + L"\\Kanvel-1\\Instalator.exe";
    platform.files().WriteFile(platform.executablePath, "MZ");
    platform.lockedFiles.push_back(keptCopy);
    platform.firstPhaseExecutable = keptCopy;
    events.clear();
    EXPECT_EQ(Run(copyArguments), 0);
    EXPECT_TRUE(windowOpened);
    EXPECT_EQ(window.location, L"D:\\Programy");
    EXPECT_EQ(platform.reportedToFirstPhase, std::vector<int>{0});
    const auto order = events.entries();
    const auto reported = std::find(order.begin(), order.end(), L"reported to first phase 0");
    ASSERT_NE(reported, order.end());
    EXPECT_NE(std::find(reported, order.end(), L"first phase ended"), order.end());
}

// Settings elevates an entry's uninstall command; with an administrator's
// name and password typed at the prompt over a user's shoulder, the run's
// token names the administrator, whose registry and profile hold nothing of
// the user's installation, while the user at the screen (the desktop shell's
// account) is still the one who installed it. The per-user entry's command
// lines name their owner.
class PerUserEntryTest : public UnattendedRunTest {
protected:
    const std::wstring administrator = L"S-1-5-21-3623811015-3361044348-30300820-500";
    std::wstring owner;
    Args quiet, window, repair;

    void SetUp() override {
        UnattendedRunTest::SetUp();
        ServeProgram();
        ASSERT_EQ(Run(Install({})), 0);
        owner = platform.accountId;
        quiet = SplitAsWindows(*EntryText(L"QuietUninstallString"));
        window = SplitAsWindows(*EntryText(L"UninstallString"));
        repair = SplitAsWindows(*EntryText(L"ModifyPath"));
        platform.executablePath = keptCopy;
        platform.DeleteFileAt(kLogFile);
        events.clear();
        platform.accountId = administrator;
    }
    void ExpectNothingChanged() {
        EXPECT_TRUE(platform.copyRuns.empty());
        EXPECT_TRUE(platform.FileExists(installed + L"\\Edytor2.exe"));
        EXPECT_TRUE(platform.FileExists(desktopLink));
        EXPECT_TRUE(platform.FileExists(startLink));
        EXPECT_TRUE(platform.registry().hasKey(RegistryRoot::CurrentUser, kEntryKey));
    }
};

// The owner at the screen: each command runs again, unchanged, as that user,
// and ends with that run's code; this run itself does nothing.
TEST_F(PerUserEntryTest, RunAsAnotherAccountWithTheOwnerAtTheScreenItRunsAgainAsTheOwner) {
    for (const Args* command : {&quiet, &window, &repair}) EXPECT_EQ(command->back(), L"/OWNER=" + owner);
    platform.desktopUserOutcome = 6;
    EXPECT_EQ(Run(quiet), 6);
    platform.desktopUserOutcome = 0;
    EXPECT_EQ(Run(window), 0);
    EXPECT_EQ(Run(repair), 0);
    EXPECT_EQ(platform.desktopUserRuns, (std::vector<Args>{quiet, window, repair}));
    EXPECT_FALSE(windowOpened);
    EXPECT_TRUE(events.withPrefix(L"box ").empty());
    EXPECT_TRUE(Logged(L"konto właściciela instalacji: " + owner + L", konto tego przebiegu: " + administrator +
                       L", konto użytkownika pulpitu: " + owner + L"\r\n"));
    EXPECT_TRUE(Logged(L"właściciel instalacji jest użytkownikiem pulpitu"));
    EXPECT_TRUE(Logged(L"przebieg na koncie właściciela zakończony kodem 6\r\n"));
    ExpectNothingChanged();

    // The run started again is the owner's own: the removal goes on from the temporary copy and removes it all.
    platform.accountId = owner;
    platform.copyOutcome = 0;
    EXPECT_EQ(Run(platform.desktopUserRuns[0]), 0);
    ASSERT_EQ(platform.copyRuns.size(), 1u);
    platform.executablePath = platform.temporaryPath + L"\\Kanvel-1\\Instalator.exe";
    platform.files().WriteFile(platform.executablePath, "MZ");
    platform.firstPhaseExecutable = keptCopy;
    EXPECT_EQ(Run(platform.copyRuns[0].arguments), 0);
    EXPECT_FALSE(platform.DirectoryExists(installed));
    EXPECT_FALSE(platform.FileExists(desktopLink));
    EXPECT_FALSE(platform.registry().hasKey(RegistryRoot::CurrentUser, kEntryKey));
}

// Someone else at the screen, no shell to ask, or a run that cannot be
// started as the owner: 17 before anything is done, the window's run after a
// notice naming the file the owner can run.
TEST_F(PerUserEntryTest, RunAsAnotherAccountWithoutTheOwnerAtTheScreenItChangesNothing) {
    const std::wstring otherUser = L"S-1-5-21-3623811015-3361044348-30300820-1014";
    for (const std::wstring& desktop : {otherUser, std::wstring()}) {
        platform.desktopAccountId = desktop;
        EXPECT_EQ(Run(quiet), 17);
        EXPECT_TRUE(Logged(L", konto użytkownika pulpitu: " + (desktop.empty() ? L"nieznane" : desktop) + L"\r\n"));
    }
    platform.desktopAccountId = owner;
    platform.desktopUserOutcome.reset();
    EXPECT_EQ(Run(quiet), 17);
    EXPECT_TRUE(Logged(L"nie udało się uruchomić polecenia na koncie właściciela instalacji"));
    // An account the system cannot name is another account.
    platform.accountId.clear();
    platform.desktopAccountId = otherUser;
    EXPECT_EQ(Run(quiet), 17);
    EXPECT_TRUE(Logged(L"konto tego przebiegu: nieznane"));
    EXPECT_TRUE(Logged(L"kod wyjścia 17: instalacja należy do innego konta"));
    ExpectNothingOnScreen();

    platform.accountId = administrator;
    for (const Args* command : {&window, &repair}) {
        events.clear();
        EXPECT_EQ(Run(*command), 17);
        EXPECT_FALSE(windowOpened);
        const auto boxes = events.withPrefix(L"box ");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].find(L"na innym koncie użytkownika"), std::wstring::npos);
        EXPECT_NE(boxes[0].find(L"plik: " + keptCopy), std::wstring::npos);
    }
    EXPECT_EQ(platform.desktopUserRuns.size(), 1u);  // only the start that failed
    ExpectNothingChanged();
}

// A removal in a window of the kept copy itself (opened from its folder)
// leaves that copy, which cannot delete itself: a temporary copy, which
// nothing waits for, finds only the copy and deletes it, with its folder,
// once the window's run has ended.
TEST_F(UnattendedRunTest, AKeptCopyLeftByItsOwnWindowsRemovalGoesOnceThatRunHasEnded) {
    ServeProgram();
    ASSERT_EQ(Run(Install({})), 0);
    platform.executablePath = keptCopy;
    removedInWindow = L"Administrator";
    EXPECT_EQ(Run({}), 0);
    const Args handOver{L"/SILENT", L"/UNINSTALL", L"/EDITION=Administrator", L"/DIR=D:\\Programy",
                        L"/SECONDPHASE=first-phase"};
    ASSERT_EQ(platform.copyRuns.size(), 1u);
    EXPECT_FALSE(platform.copyRuns[0].waited);
    EXPECT_EQ(platform.copyRuns[0].arguments, handOver);

    // What the window's removal left: the kept copy alone.
    for (const auto& file : {installed + L"\\Edytor2.exe", desktopLink, startLink}) platform.DeleteFileAt(file);
    platform.registry().remove(RegistryRoot::CurrentUser, kEntryKey);
    platform.executablePath = platform.temporaryPath + L"\\Kanvel-1\\Instalator.exe";
    platform.files().WriteFile(platform.executablePath, "MZ");
    platform.lockedFiles.push_back(keptCopy);
    platform.firstPhaseExecutable = keptCopy;
    windowOpened = false;
    events.clear();
    EXPECT_EQ(Run(handOver), 0);
    EXPECT_FALSE(platform.DirectoryExists(installed));
    EXPECT_TRUE(platform.DirectoryExists(L"D:\\Programy"));
    ExpectNothingOnScreen();
}

TEST_F(UnattendedRunTest, ForAllUsersTheCommonFoldersAndTheMachinesListAreUsed) {
    ServeProgram();
    ASSERT_EQ(Run(Install({L"/ALLUSERS"})), 0);
    const std::wstring commonDesktopLink = platform.commonDesktopPath + L"\\Administrator 7.lnk";
    const std::wstring commonStartLink = platform.commonProgramsPath + L"\\Velmarin\\Administrator 7.lnk";
    EXPECT_TRUE(platform.FileExists(commonDesktopLink));
    EXPECT_TRUE(platform.FileExists(commonStartLink));
    EXPECT_FALSE(platform.FileExists(desktopLink));
    EXPECT_FALSE(platform.FileExists(startLink));
    EXPECT_FALSE(EntryText(L"DisplayName"));
    EXPECT_EQ(EntryText(L"DisplayName", RegistryRoot::LocalMachine), L"Kanvel Administrator 7.0");
    EXPECT_EQ(EntryText(L"QuietUninstallString", RegistryRoot::LocalMachine),
              L"\"" + keptCopy + L"\" /SILENT /UNINSTALL /EDITION=Administrator \"/DIR=D:\\Programy\" /ALLUSERS");

    EXPECT_EQ(Run(Uninstall({L"/ALLUSERS"})), 0);
    EXPECT_FALSE(platform.FileExists(commonDesktopLink));
    EXPECT_FALSE(platform.DirectoryExists(platform.commonProgramsPath + L"\\Velmarin"));
    EXPECT_FALSE(platform.registry().hasKey(RegistryRoot::LocalMachine, kEntryKey));
    EXPECT_FALSE(platform.DirectoryExists(installed));
}

TEST_F(UnattendedRunTest, AllUsersIsRefusedWhereThisUserCannotWrite) {
    ServeProgram();
    platform.readOnlyFolders.push_back(platform.commonProgramsPath);
    EXPECT_EQ(Run(Install({L"/ALLUSERS"})), 2);
    EXPECT_TRUE(Logged(L"] brak uprawnień do zapisu dla wszystkich użytkowników (/ALLUSERS wymaga uprawnień "
                       L"administratora): " + platform.commonProgramsPath + L"\r\n"));
    platform.readOnlyFolders.clear();
    platform.registry().deniedRoots.insert(RegistryRoot::LocalMachine);
    EXPECT_EQ(Run(Install({L"/ALLUSERS"})), 2);
    EXPECT_TRUE(Logged(L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\r\n"));
    EXPECT_EQ(Run(Uninstall({L"/ALLUSERS"})), 2);
    EXPECT_TRUE(server.requests.empty());
    EXPECT_FALSE(platform.DirectoryExists(installed));
    EXPECT_EQ(FilesIn(platform.commonDesktopPath), 0u);  // the probe file is gone again
    ExpectNothingOnScreen();
}

TEST_F(UnattendedRunTest, ASecondRunWhileOneRunsEndsAtOnce) {
    ServeProgram();
    const auto otherRun = platform.ClaimMachineLock(kLockName);
    ASSERT_TRUE(otherRun);
    EXPECT_EQ(Run(Install({})), 1618);
    EXPECT_TRUE(Logged(L"] kod wyjścia 1618: trwa inna instalacja; spróbuj ponownie później\r\n"));
    EXPECT_EQ(Run(Uninstall()), 1618);
    EXPECT_TRUE(server.requests.empty());
    EXPECT_FALSE(platform.DirectoryExists(installed));
    ExpectNothingOnScreen();
    // A window run says so and opens no window.
    EXPECT_EQ(Run({}), 1618);
    EXPECT_FALSE(windowOpened);
    EXPECT_EQ(events.withPrefix(L"box "),
              std::vector<std::wstring>{L"box Instalator|Trwa inna instalacja programu Kanvel na tym komputerze. Spróbuj ponownie, gdy się zakończy."});
}

TEST_F(UnattendedRunTest, ShortcutOptionsDecideWhichShortcutsAreWritten) {
    ServeProgram();
    EXPECT_EQ(Run(Install({L"/SHORTCUTS=desktop"})), 0);
    EXPECT_TRUE(platform.FileExists(desktopLink));
    EXPECT_FALSE(platform.FileExists(startLink));

    platform.DeleteFileAt(desktopLink);
    EXPECT_EQ(Run(Install({L"/NOSHORTCUTS"})), 0);
    EXPECT_FALSE(platform.FileExists(desktopLink));
    EXPECT_FALSE(platform.FileExists(startLink));
    EXPECT_TRUE(platform.FileExists(installed + L"\\Edytor2.exe"));
}

TEST_F(UnattendedRunTest, AShortcutOrTheEntryNotWrittenIsSaidByItsCode) {
    ServeProgram();
    std::filesystem::remove_all(platform.files().ToHost(platform.desktopPath));
    EXPECT_EQ(Run(Install({})), 9);
    EXPECT_TRUE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_TRUE(Logged(L"] nie zapisano skrótu: " + desktopLink + L"\r\n"));
    EXPECT_TRUE(Logged(L"kod wyjścia 9: plik programu zainstalowany, ale nie zapisano skrótu"));

    platform.files().MakeFolders(platform.desktopPath);
    platform.registry().deniedRoots.insert(RegistryRoot::CurrentUser);
    EXPECT_EQ(Run(Install({})), 9);
    EXPECT_TRUE(Logged(L"] nie zapisano wpisu w „Aplikacje i funkcje” ani kopii instalatora: HKEY_CURRENT_USER\\" +
                       kEntryKey + L"\r\n"));
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

TEST_F(UnattendedRunTest, TheProgramInstalledWithoutTheEngineIsNotADownloadFailure) {
    ServeProgram();
    EXPECT_EQ(Run(Install({L"/COMPONENTS=engine,program"})), 8);
    EXPECT_TRUE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_TRUE(platform.FileExists(desktopLink));
    EXPECT_TRUE(Logged(L"[Instalator] Nieudane pobranie pliku: HTTP/1.1 404 Not Found\r\n"));
    EXPECT_TRUE(Logged(L"kod wyjścia 8: plik programu zainstalowany, ale nie wszystkie wybrane składniki"));
}

TEST_F(UnattendedRunTest, AFailedDownloadEndsWithItsCodeAndNothingInstalled) {
    server.responses[Url(L"programy/wersja7/poprawki/Edytor2._exe")] = {.error = services::TransferFailure::Socket(10061)};
    EXPECT_EQ(Run(Install({L"/COMPONENTS=engine,program"})), 4);
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_FALSE(platform.FileExists(desktopLink));
    EXPECT_FALSE(platform.registry().hasKey(RegistryRoot::CurrentUser, kEntryKey));
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
    const auto makersBuild = TestRelease::MakersBuild();
    auto run = [&](const Args& arguments) {
        return app::RunFromCommandLine(
            platform, arguments, [this](const app::WindowSettings&) {
                windowOpened = true;
                return install::InstallReport{};
            }, makersBuild);
    };
    server.responses[Url(L"programy/wersja7/poprawki/Edytor2._exe")] = {.body = "MZ unsigned"};
    ServeSignedRelease("7.0.0");
    EXPECT_EQ(run(Install({})), 7);
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_TRUE(Logged(L"[Instalator] Nieudane pobranie pliku: plik nie ma ważnego podpisu cyfrowego producenta\r\n"));
    EXPECT_TRUE(Logged(L"kod wyjścia 7"));

    server.responses[Url(L"programy/wersja7/poprawki/Edytor2._exe")] = {.body = TestSignatures::kByMaker};
    ServeSignedRelease("7.0.0");
    const std::wstring engine = installed + L"\\Sterowniki\\BDE\\setup.exe";
    platform.files().WriteFile(engine, "MZ unsigned, left from an earlier run");
    EXPECT_EQ(run(Install({L"/COMPONENTS=engine,program"})), 7);
    EXPECT_TRUE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_TRUE(Logged(L"[Uwaga!] Plik \"" + engine + L"\" nie ma ważnego podpisu cyfrowego producenta"));
    EXPECT_FALSE(Logged(L"nie uruchomiono: " + engine));
    ExpectNothingOnScreen();
}

// The update program beside the installer is checked like the programs it
// starts: one that is not the maker's is not copied, and the run's log says so.
TEST_F(UnattendedRunTest, AnUpdateProgramNotSignedByTheMakerIsNotCopied) {
    platform.signatures = TestSignatures::Of;
    const auto makersBuild = TestRelease::MakersBuild();
    auto run = [&](const Args& arguments) {
        return app::RunFromCommandLine(
            platform, arguments, [this](const app::WindowSettings&) {
                windowOpened = true;
                return install::InstallReport{};
            }, makersBuild);
    };
    server.responses[Url(L"programy/wersja7/poprawki/Edytor2._exe")] = {.body = TestSignatures::kByMaker};
    ServeSignedRelease("7.0.0");
    platform.files().WriteFile(L"C:\\Instal\\Program\\Aktualizacja.exe", "MZ unsigned update");
    EXPECT_EQ(run(Install({})), 0);
    EXPECT_TRUE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_FALSE(platform.FileExists(installed + L"\\Aktualizacja.exe"));
    EXPECT_TRUE(Logged(L"[Program aktualizacji] nie ma ważnego podpisu cyfrowego producenta"));

    platform.files().WriteFile(L"C:\\Instal\\Program\\Aktualizacja.exe", TestSignatures::kByMaker);
    EXPECT_EQ(run(Install({})), 0);
    EXPECT_EQ(platform.files().ReadFile(installed + L"\\Aktualizacja.exe"), TestSignatures::kByMaker);
}

// Without a window nobody can give the proxy a user name and password: the
// run says so and ends with a code of its own.
TEST_F(UnattendedRunTest, AProxyThatWantsAUserNameEndsTheRunWithItsOwnCode) {
    server.proxyUser = services::ProxyCredentials{L"anna", L"tajne"};
    server.responses[Url(L"programy/wersja7/poprawki/Edytor2._exe")] = {.body = "MZ program"};
    EXPECT_EQ(Run(Install({})), 11);
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_TRUE(Logged(L"[Instalator] Nieudane pobranie pliku: serwer proxy wymaga logowania\r\n"));
    EXPECT_TRUE(Logged(L"instalacja bez okna nie może o nie zapytać"));
    EXPECT_TRUE(Logged(L"kod wyjścia 11: serwer proxy wymaga nazwy użytkownika i hasła"));
    ExpectNothingOnScreen();
}

// A disk too small for the program ends the run with the disk's own code,
// not as a failed download, and leaves no part of the file behind.
TEST_F(UnattendedRunTest, ADiskTooSmallForTheProgramEndsTheRunWithItsOwnCode) {
    server.responses[Url(L"programy/wersja7/poprawki/Edytor2._exe")] = {.body = "MZ program"};
    platform.freeBytes = 5;
    EXPECT_EQ(Run(Install({})), 13);
    EXPECT_TRUE(platform.DirectoryExists(installed));
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe.part"));
    EXPECT_FALSE(platform.FileExists(desktopLink));
    EXPECT_TRUE(Logged(L"[Instalator] Nieudane pobranie pliku: za mało wolnego miejsca na dysku, aby zapisać plik " +
                       installed + L"\\Edytor2.exe\r\n"));
    EXPECT_TRUE(Logged(L"kod wyjścia 13: za mało wolnego miejsca na dysku docelowym"));
    ExpectNothingOnScreen();
}

// Before the first request, the bytes the run will write where they are
// known beforehand (from the server: the working tables the copy takes from
// the installation's own pristine files) are counted against the free
// space: a run whose files each fit but together do not asks for nothing,
// changes nothing and ends with 13. With room for them the same run goes on.
TEST_F(UnattendedRunTest, ARunWhoseKnownFilesTogetherExceedTheDiskEndsBeforeAnyRequest) {
    InstallWithTheUsersWork();
    platform.files().WriteFile(installed + L"\\Edytor2.exe", "MZ older");
    server.requests.clear();
    // One table (5 bytes) or the program (16) fits; the copies of the 73 tables do not.
    platform.freeBytes = 100;
    EXPECT_EQ(Run(Install({L"/COMPONENTS=program,database", L"/RESETDATABASE"})), 13);
    EXPECT_TRUE(FileRequests().empty());
    EXPECT_EQ(platform.files().ReadFile(edited), "the user's work");
    EXPECT_EQ(platform.files().ReadFile(installed + L"\\Edytor2.exe"), "MZ older");
    EXPECT_TRUE(Logged(L"[Instalator] Nieudane pobranie pliku: za mało wolnego miejsca na dysku, aby zapisać plik " +
                       installed + L"\\Format\\"));
    EXPECT_TRUE(Logged(L"kod wyjścia 13: za mało wolnego miejsca na dysku docelowym"));

    platform.freeBytes = 73 * 5;
    EXPECT_EQ(Run(Install({L"/COMPONENTS=program,database", L"/RESETDATABASE"})), 0);
    EXPECT_EQ(platform.files().ReadFile(edited), "table");
    EXPECT_EQ(platform.files().ReadFile(installed + L"\\Edytor2.exe"), "MZ administrator");
}

TEST_F(UnattendedRunTest, AnAbortedDatabaseCopyEndsTheRunWithItsCode) {
    ServeProgram();
    ServeTables();
    platform.files().WriteFile(installed + L"\\Format\\Dbf6\\baza3.db", "old");
    platform.heldAfterTheCheck.push_back(installed + L"\\Format\\Dbf6\\baza3.db");
    EXPECT_EQ(Run(Install({L"/COMPONENTS=program,database", L"/RESETDATABASE"})), 5);
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_TRUE(Logged(L"[Problem zewnętrzny!] Niemożliwe przygotowanie bazy na przyjęcie danych Program należy "
                       L"uruchomić ponownie.\r\n"));
    // The notice keeps its own entry in the message log next to the installer, as in the window.
    EXPECT_NE(platform.files().ReadFile(L"C:\\Instal\\Komunikaty.err").find(
                  platform::host::ToAnsi(L"Problem zewnętrzny!\r\nNiemożliwe przygotowanie bazy na przyjęcie danych\r\n")),
              std::string::npos);
    EXPECT_TRUE(Logged(L"kod wyjścia 5"));
}

TEST_F(UnattendedRunTest, AnErrorNoHandlerCatchesIsAnUnexpectedError) {
    ServeProgram();
    ServeTables();
    platform.heldAfterTheCheck.push_back(installed + L"\\Format\\Dbf6\\baza3.db");
    platform.files().WriteFile(installed + L"\\Format\\Dbf6\\baza3.db", "old");
    // The message log cannot be written: the logged notice fails with an I/O error.
    platform.files().MakeFolders(L"C:\\Instal\\Komunikaty.err");
    EXPECT_EQ(Run(Install({L"/COMPONENTS=database", L"/RESETDATABASE", L"/LOG=D:\\run.log"})), 1);
    EXPECT_TRUE(Logged(L"[Instalator] I/O error", L"D:\\run.log"));
    EXPECT_TRUE(Logged(L"kod wyjścia 1: nieoczekiwany błąd", L"D:\\run.log"));
    ExpectNothingOnScreen();
}

TEST_F(UnattendedRunTest, RemovalThatLeavesOnlyTheDatabaseFoldersSucceeds) {
    ServeProgram();
    ServeTables();
    ASSERT_EQ(Run(Install({L"/COMPONENTS=program,database"})), 0);
    EXPECT_EQ(Run({L"/SILENT", L"/UNINSTALL", L"/EDITION=administrator", L"/DIR=D:\\Programy"}), 0);
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_FALSE(platform.FileExists(keptCopy));
    EXPECT_FALSE(platform.FileExists(desktopLink));
    EXPECT_FALSE(platform.FileExists(startLink));
    EXPECT_FALSE(platform.registry().hasKey(RegistryRoot::CurrentUser, kEntryKey));
    EXPECT_EQ(FilesIn(installed + L"\\Format\\Cfg"), 42u);
    EXPECT_TRUE(Logged(L"[Uwaga!] \"D:\\Programy\\OR-Vel\" jest używany przez inny program lub zawiera pliki "
                       L"(foldery) utworzone po instalacji.\r\n"));
    EXPECT_TRUE(Logged(L"kod wyjścia 0"));
    ExpectNothingOnScreen();
}

TEST_F(UnattendedRunTest, RemovalThatLeavesTheRunningProgramIsIncompleteAndKeepsTheEntry) {
    ServeProgram();
    ASSERT_EQ(Run(Install({})), 0);
    // Started after removal looked for programs holding its files.
    platform.heldAfterTheCheck.push_back(installed + L"\\Edytor2.exe");
    EXPECT_EQ(Run(Uninstall()), 6);
    EXPECT_TRUE(Logged(L"] nie usunięto pliku: " + installed + L"\\Edytor2.exe\r\n"));
    EXPECT_TRUE(Logged(L"kod wyjścia 6: usunięcie niepełne"));
    // Removal can be started again from "Apps & features".
    EXPECT_TRUE(platform.registry().hasKey(RegistryRoot::CurrentUser, kEntryKey));
    EXPECT_TRUE(platform.FileExists(keptCopy));

    platform.heldAfterTheCheck.clear();
    ASSERT_EQ(Run(Install({})), 0);
    platform.lockedFiles.push_back(startLink);
    EXPECT_EQ(Run(Uninstall()), 6);
    EXPECT_TRUE(Logged(L"] nie usunięto pliku: " + startLink + L"\r\n"));
}

// Files another program holds are found before anything is fetched or
// removed: the run ends with 14 and the log names each file with the
// programs that hold it, or the file alone when the system cannot say.
TEST_F(UnattendedRunTest, FilesInUseEndTheRunWith14BeforeAnyRequestAndTheLogNamesThem) {
    ServeProgram();
    ServeTables();
    ASSERT_EQ(Run(Install({L"/COMPONENTS=program,database"})), 0);
    const std::wstring program = installed + L"\\Edytor2.exe";
    const std::wstring table = installed + L"\\Format\\Dbf6\\baza3.db";
    platform.files().WriteFile(program, "MZ running");
    platform.holdingPrograms.push_back({program, L"Kanvel Administrator 7.0"});
    platform.holdingPrograms.push_back({program, L"Podgląd plików"});
    platform.lockedFiles.push_back(table);
    server.requests.clear();

    EXPECT_EQ(Run(Install({L"/COMPONENTS=program,database", L"/RESETDATABASE"})), 14);
    EXPECT_TRUE(FileRequests().empty());
    EXPECT_EQ(platform.files().ReadFile(program), "MZ running");
    EXPECT_TRUE(Logged(L"[Instalacja bez okna] plik używany przez inny program: " + table + L"\r\n"));
    EXPECT_TRUE(Logged(L"[Instalacja bez okna] plik używany przez inny program: " + program +
                       L" – Kanvel Administrator 7.0, Podgląd plików\r\n"));
    EXPECT_TRUE(Logged(L"kod wyjścia 14: pliki instalacji są używane przez inne programy"));
    ExpectNothingOnScreen();

    // Without /RESETDATABASE the users' tables are kept, so a held one is no obstacle.
    platform.holdingPrograms.clear();
    EXPECT_EQ(Run(Install({L"/COMPONENTS=program,database"})), 0);
    EXPECT_FALSE(server.requests.empty());

    // Removal deletes nothing while the program file is held.
    platform.holdingPrograms.push_back({program, L"Kanvel Administrator 7.0"});
    EXPECT_EQ(Run(Uninstall()), 14);
    EXPECT_TRUE(platform.FileExists(program));
    EXPECT_TRUE(platform.FileExists(desktopLink));
    EXPECT_TRUE(platform.registry().hasKey(RegistryRoot::CurrentUser, kEntryKey));
    EXPECT_EQ(TimesLogged(L"plik używany przez inny program: " + program + L" – Kanvel Administrator 7.0\r\n"), 1u);
}

// /CLOSEAPPLICATIONS asks the holders to close, as Restart Manager does,
// never forcing one: the run goes on when they closed, and ends with 14,
// nothing fetched, when one refused.
TEST_F(UnattendedRunTest, CloseApplicationsGoesOnWhenTheHoldersCloseAndEndsWith14WhenOneRefuses) {
    ServeProgram();
    ASSERT_EQ(Run(Install({})), 0);
    const std::wstring program = installed + L"\\Edytor2.exe";
    platform.holdingPrograms.push_back({program, L"Kanvel Administrator 7.0", true});
    platform.holdingPrograms.push_back({keptCopy, L"Instalator", true});
    server.requests.clear();
    EXPECT_EQ(Run(Install({L"/CLOSEAPPLICATIONS"})), 0);
    EXPECT_EQ(events.withPrefix(L"asked to close "),
              (std::vector<std::wstring>{L"asked to close Kanvel Administrator 7.0: closed",
                                         L"asked to close Instalator: closed"}));
    EXPECT_EQ(FileRequests().size(), 1u);
    EXPECT_EQ(platform.files().ReadFile(program), "MZ administrator");

    platform.files().WriteFile(program, "MZ running");
    platform.holdingPrograms.push_back({program, L"Kanvel Administrator 7.0", false});
    server.requests.clear();
    EXPECT_EQ(Run(Install({L"/CLOSEAPPLICATIONS"})), 14);
    const auto askedToClose = events.withPrefix(L"asked to close ");
    ASSERT_FALSE(askedToClose.empty());
    EXPECT_EQ(askedToClose.back(), L"asked to close Kanvel Administrator 7.0: refused");
    EXPECT_TRUE(FileRequests().empty());
    EXPECT_EQ(platform.files().ReadFile(program), "MZ running");
    EXPECT_TRUE(Logged(L"plik używany przez inny program: " + program + L" – Kanvel Administrator 7.0\r\n"));
    // Without the option nobody is asked.
    EXPECT_EQ(Run(Install({})), 14);
    EXPECT_EQ(events.withPrefix(L"asked to close ").size(), askedToClose.size());
}

// A file removal could not delete: the folder's notice names the program
// that holds it where the system can say which.
TEST_F(UnattendedRunTest, TheRemovalNoticeNamesTheProgramThatHoldsAFileLeftBehind) {
    ServeProgram();
    ASSERT_EQ(Run(Install({})), 0);
    platform.holdingPrograms.push_back({keptCopy, L"Skaner plików"});
    EXPECT_EQ(Run(Uninstall()), 6);
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_TRUE(Logged(L"[Uwaga!] \"D:\\Programy\\OR-Vel\" jest używany przez inny program (Skaner plików) lub "
                       L"zawiera pliki (foldery) utworzone po instalacji.\r\n"));
    EXPECT_TRUE(Logged(L"] nie usunięto pliku: " + keptCopy + L"\r\n"));
}

TEST_F(UnattendedRunTest, RemovalOfAProgramOnlyInstallLeavesNothingAndARepeatFindsNothing) {
    ServeProgram();
    ASSERT_EQ(Run(Install({})), 0);
    EXPECT_EQ(Run(Uninstall()), 0);
    EXPECT_FALSE(platform.DirectoryExists(installed));
    EXPECT_TRUE(platform.DirectoryExists(L"D:\\Programy"));
    EXPECT_FALSE(platform.DirectoryExists(platform.programsPath + L"\\Velmarin"));
    EXPECT_EQ(Run(Uninstall()), 0);
    EXPECT_TRUE(Logged(L"nie znaleziono instalacji edycji Administrator"));
}

TEST_F(UnattendedRunTest, AnEntryWhoseFilesAreGoneIsRemovedAllTheSame) {
    ServeProgram();
    ASSERT_EQ(Run(Install({L"/NOSHORTCUTS"})), 0);
    std::filesystem::remove_all(platform.files().ToHost(L"D:\\Programy"));
    EXPECT_EQ(Run(Uninstall()), 0);
    EXPECT_TRUE(Logged(L"folder nie istnieje: D:\\Programy"));
    EXPECT_FALSE(platform.registry().hasKey(RegistryRoot::CurrentUser, kEntryKey));
}

TEST_F(UnattendedRunTest, TheFolderFollowsTheRulesOfTheFolderChoiceAndAMissingOneIsCreated) {
    ServeProgram();
    // A folder inside a family folder is refused with the window's notice, and not created.
    EXPECT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Procesor", L"/DIR=D:\\or-vel\\stare"}), 2);
    EXPECT_TRUE(Logged(L"[Uwaga!] Folder:  \"OR-Vel\" jest już domyślnym podkatalogiem instalacji.\r\n"));
    EXPECT_FALSE(platform.DirectoryExists(L"D:\\or-vel"));
    // A folder on a drive that does not exist.
    EXPECT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Procesor", L"/DIR=E:\\Brak"}), 2);
    EXPECT_TRUE(Logged(L"dysk lub udział sieciowy nie istnieje: E:\\"));
    EXPECT_TRUE(FileRequests().empty());
    // A missing folder on an existing drive is created, every level of it.
    EXPECT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator", L"/DIR=D:\\Nowe programy\\Kanvel"}), 0);
    EXPECT_TRUE(platform.FileExists(L"D:\\Nowe programy\\Kanvel\\OR-Vel\\Edytor2.exe"));
    EXPECT_TRUE(Logged(L"] utworzono folder: D:\\Nowe programy\\Kanvel\r\n"));
    // A drive gets its "OR-Vel" folder at the root, its letter upper-cased.
    EXPECT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator", L"/DIR=d:\\"}), 0);
    EXPECT_TRUE(platform.FileExists(L"D:\\OR-Vel\\Edytor2.exe"));
    EXPECT_TRUE(Logged(L"instalacja edycji Administrator w folderze D:\\OR-Vel,"));
    // Without /DIR and without the edition's entry the location is drive C:, as the window starts with.
    platform.registry().remove(RegistryRoot::CurrentUser, kEntryKey);
    EXPECT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator"}), 0);
    EXPECT_TRUE(platform.FileExists(L"C:\\OR-Vel\\Edytor2.exe"));
}

TEST(RunLogTest, OneLinePerEntryWithAFixedWidthTimeStamp) {
    EXPECT_EQ(app::RunLog::FormatLine({2017, 1, 5, 9, 7, 3, 45}, L"Uwaga!", L"D:\\x.exe\rzostanie zastąpiony\r\nnową"),
              L"2017-01-05 09:07:03.045 [Uwaga!] D:\\x.exe zostanie zastąpiony  nową\r\n");
    EXPECT_EQ(app::RunLog::FormatLine({2026, 12, 31, 23, 59, 59, 999}, L"", L""), L"2026-12-31 23:59:59.999 [] \r\n");
}

TEST(SplitAsWindowsTest, QuotesAndBackslashesAsCommandLineToArgvW) {
    EXPECT_EQ(SplitAsWindows(L"\"C:\\a b\\x.exe\" /A \"/DIR=D:\\Moje programy\" /LOG=\"C:\\x y\\l.log\" a\\\\\\\"b"),
              (Args{L"/A", L"/DIR=D:\\Moje programy", L"/LOG=C:\\x y\\l.log", L"a\\\"b"}));
}

// A copy of the server made by /LAYOUT, then used by /SOURCE: what the list
// names, what a second copy asks the server for, and a copy that was changed.
class LocalCopyTest : public UnattendedRunTest {
protected:
    void ServeEverything() {
        ServeTables();
        ServeEngine();
        for (const auto& edition : services::kEditions)
            server.responses[Url(L"programy/wersja7/poprawki/" + std::wstring(edition.programBaseName) + L"._exe")] = {
                .body = "MZ " + platform::host::ToUtf8(std::wstring(edition.name))};
    }
    services::LayoutReading ListOfCopy() {
        return services::LayoutList::Read(platform.files().ReadFile(L"D:\\pliki\\Kanvel-pliki.txt"),
                                          *platform.StartSha256());
    }
    const std::wstring table = L"D:\\pliki\\programy\\wersja7\\bkp6\\baza42.px";
};

TEST_F(LocalCopyTest, LayoutListsEveryFileAndASecondOneFetchesOnlyWhatIsMissingOrChanged) {
    ServeEverything();
    ASSERT_EQ(Run({L"/LAYOUT=D:\\pliki"}), 0) << LogText();
    const auto read = ListOfCopy();
    ASSERT_TRUE(read.list);
    EXPECT_EQ(read.list->files().size(), 5u + 1u + 73u);
    const auto* engine = read.list->Find(L"sterowniki/bde/setup._exe");
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->size, 8u);
    EXPECT_EQ(platform.files().ReadFile(L"D:\\pliki\\sterowniki\\bde\\setup._exe"), "MZ setup");
    // The programs came with the maker's credentials, as for an installation.
    for (const auto& request : server.requests)
        EXPECT_EQ(request.basicAuthentication, request.url.find(L"/poprawki/") != std::wstring::npos)
            << platform::host::ToUtf8(request.url);
    EXPECT_EQ(FileRequests().size(), 79u);
    EXPECT_TRUE(Logged(L"pobrano: programy/wersja7/bkp6/baza42.px"));

    platform.DeleteFileAt(table);
    platform.files().WriteFile(L"D:\\pliki\\sterowniki\\bde\\setup._exe", "MZ other");
    server.requests.clear();
    ASSERT_EQ(Run({L"/LAYOUT=D:\\pliki"}), 0);
    ASSERT_EQ(FileRequests().size(), 2u);
    EXPECT_EQ(FileRequests()[0], Url(L"sterowniki/bde/setup._exe"));
    EXPECT_EQ(FileRequests()[1], Url(L"programy/wersja7/bkp6/baza42.px"));
    EXPECT_TRUE(Logged(L"bez zmian: programy/wersja7/bkp6/baza1.db"));

    // A file the server no longer gives stays out of the list, and the run says so.
    server.responses.erase(Url(L"programy/wersja7/bkp6/baza42.px"));
    platform.DeleteFileAt(table);
    EXPECT_EQ(Run({L"/LAYOUT=D:\\pliki"}), 4);
    EXPECT_EQ(ListOfCopy().list->Find(L"programy/wersja7/bkp6/baza42.px"), nullptr);
    EXPECT_TRUE(Logged(L"nie pobrano: programy/wersja7/bkp6/baza42.px"));
}

TEST_F(LocalCopyTest, SourceInstallsFromTheCopyAloneAndRefusesAChangedFileWith12) {
    ServeEverything();
    ASSERT_EQ(Run({L"/LAYOUT=D:\\pliki"}), 0);
    server.responses.clear();
    server.requests.clear();
    ASSERT_EQ(Run(Install({L"/COMPONENTS=program,database,engine", L"/SOURCE=D:\\pliki"})), 0) << LogText();
    EXPECT_TRUE(server.requests.empty());
    EXPECT_EQ(platform.files().ReadFile(installed + L"\\Edytor2.exe"), "MZ Administrator");
    EXPECT_EQ(FilesIn(installed + L"\\Format\\Bkp6"), 73u);
    EXPECT_TRUE(platform.FileExists(installed + L"\\Sterowniki\\BDE\\setup.exe"));
    EXPECT_TRUE(Logged(L"pliki z kopii: D:\\pliki"));

    // One byte changed: refused, named, nothing stored under its name.
    platform.files().WriteFile(table, "tablE");
    platform.files().MakeFolders(L"D:\\Drugi");
    EXPECT_EQ(Run({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Procesor", L"/DIR=D:\\Drugi",
                   L"/COMPONENTS=program,database", L"/SOURCE=D:\\pliki"}),
              12);
    EXPECT_TRUE(Logged(L"Nieudane pobranie pliku: plik niezgodny z listą plików kopii: programy/wersja7/bkp6/baza42.px"));
    EXPECT_FALSE(platform.FileExists(L"D:\\Drugi\\OR-Vel\\Format\\Bkp6\\baza42.px"));
    EXPECT_TRUE(Logged(L"kod wyjścia 12: "));

    // A list (rightly sealed) that leaves a file out: that file is refused as well.
    auto list = *ListOfCopy().list;
    list.Remove(L"programy/wersja7/poprawki/Edytor2._exe");
    platform.files().WriteFile(L"D:\\pliki\\Kanvel-pliki.txt", list.Text(*platform.StartSha256()));
    EXPECT_EQ(Run(Install({L"/SOURCE=D:\\pliki"})), 12);
    EXPECT_TRUE(Logged(L"Nieudane pobranie pliku: pliku nie ma na liście plików kopii: programy/wersja7/poprawki/Edytor2._exe"));
    EXPECT_TRUE(server.requests.empty());
}

// A copy is read without following links: the same bytes reached through a
// link in the copy, or through a linked folder, lie outside it and are
// refused like a changed file (12); nothing is installed from them.
TEST_F(LocalCopyTest, FilesThatLinksPutOutsideTheCopyAreRefusedWith12) {
    ServeEverything();
    ASSERT_EQ(Run({L"/LAYOUT=D:\\pliki"}), 0);
    server.responses.clear();
    server.requests.clear();
    auto host = [this](const std::wstring& path) { return platform.files().ToHost(path); };
    const std::wstring program = L"D:\\pliki\\programy\\wersja7\\poprawki\\Edytor2._exe";
    const std::wstring elsewhere = L"D:\\obce\\Edytor2._exe";
    platform.files().WriteFile(elsewhere, platform.files().ReadFile(program));
    std::filesystem::remove(host(program));
    std::filesystem::create_symlink(host(elsewhere), host(program));
    EXPECT_EQ(Run(Install({L"/SOURCE=D:\\pliki"})), 12);
    EXPECT_TRUE(Logged(L"Nieudane pobranie pliku: plik jest dowiązaniem lub leży poza folderem kopii: "
                       L"programy/wersja7/poprawki/Edytor2._exe"));
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe"));

    const std::wstring tables = L"D:\\pliki\\programy\\wersja7\\bkp6";
    std::filesystem::rename(host(tables), host(L"D:\\obce\\bkp6"));
    std::filesystem::create_directory_symlink(host(L"D:\\obce\\bkp6"), host(tables));
    EXPECT_EQ(Run(Install({L"/COMPONENTS=database", L"/SOURCE=D:\\pliki"})), 12);
    EXPECT_TRUE(Logged(L"plik jest dowiązaniem lub leży poza folderem kopii: programy/wersja7/bkp6/"));
    EXPECT_EQ(FilesIn(installed + L"\\Format\\Bkp6"), 0u);

    // The list itself, read through a link, is refused too.
    const std::wstring list = L"D:\\pliki\\Kanvel-pliki.txt";
    std::filesystem::rename(host(list), host(L"D:\\obce\\Kanvel-pliki.txt"));
    std::filesystem::create_symlink(host(L"D:\\obce\\Kanvel-pliki.txt"), host(list));
    EXPECT_EQ(Run(Install({L"/SOURCE=D:\\pliki"})), 12);
    EXPECT_TRUE(Logged(L"lista plików kopii odrzucona (lista jest dowiązaniem lub leży poza folderem kopii): D:\\pliki"));
    EXPECT_TRUE(server.requests.empty());
}

// A copy that is itself reached through a link is read where it really lies.
TEST_F(LocalCopyTest, ACopyWhoseFolderIsALinkIsReadWhereItLies) {
    ServeEverything();
    ASSERT_EQ(Run({L"/LAYOUT=D:\\pliki"}), 0);
    server.responses.clear();
    std::filesystem::create_directory_symlink(platform.files().ToHost(L"D:\\pliki"),
                                              platform.files().ToHost(L"D:\\skrot"));
    EXPECT_EQ(Run(Install({L"/SOURCE=D:\\skrot"})), 0) << LogText();
    EXPECT_EQ(platform.files().ReadFile(installed + L"\\Edytor2.exe"), "MZ Administrator");
}

// The copy's list gives each file's size: a file the target disk cannot
// hold is refused before the copy's file is read or anything is written.
TEST_F(LocalCopyTest, AFileOfTheCopyTooLargeForTheDiskEndsTheRunWithTheDiskCode) {
    ServeEverything();
    ASSERT_EQ(Run({L"/LAYOUT=D:\\pliki"}), 0);
    platform.freeBytes = std::string("MZ Administrator").size() - 1;
    EXPECT_EQ(Run(Install({L"/SOURCE=D:\\pliki"})), 13);
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe.part"));
    EXPECT_TRUE(Logged(L"za mało wolnego miejsca na dysku, aby zapisać plik " + installed + L"\\Edytor2.exe"));
}

// The copy's list names every size: the whole run (engine, tables and their
// working copies, program) is counted before anything is taken from the
// copy, and a run whose files each fit but together do not writes nothing.
TEST_F(LocalCopyTest, ARunFromTheCopyLargerThanTheDiskEndsBeforeAnyFileIsWritten) {
    ServeEverything();
    ASSERT_EQ(Run({L"/LAYOUT=D:\\pliki"}), 0);
    platform.freeBytes = 100;
    EXPECT_EQ(Run(Install({L"/SOURCE=D:\\pliki", L"/COMPONENTS=program,database,engine"})), 13);
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe"));
    EXPECT_FALSE(platform.FileExists(installed + L"\\Sterowniki\\BDE\\setup.exe"));
    for (const wchar_t* folder : {L"Bkp6", L"Zestaw", L"Dbf6", L"Cfg"})
        EXPECT_EQ(FilesIn(installed + L"\\Format\\" + folder), 0u) << platform::host::ToUtf8(folder);
    EXPECT_TRUE(Logged(L"za mało wolnego miejsca na dysku, aby zapisać plik " + installed + L"\\Format\\Bkp6\\"));
    EXPECT_TRUE(Logged(L"kod wyjścia 13: "));
}

TEST_F(LocalCopyTest, ACopyBesideTheInstallerServesTheWindowAndABadCopyEndsTheRun) {
    ServeEverything();
    ASSERT_EQ(Run({L"/LAYOUT=C:\\Instal\\pliki"}), 0);
    EXPECT_EQ(Run({L"/SOURCE=.\\pliki"}), 0);
    ASSERT_TRUE(windowOpened);
    EXPECT_EQ(windowSource, L"C:\\Instal\\pliki");

    // A removal started from the copy kept in an installation goes on from
    // a temporary copy elsewhere: it is given the folder in full.
    platform.executablePath = installed + L"\\Instalator.exe";
    platform.files().WriteFile(platform.executablePath, "MZ");
    EXPECT_EQ(Run({L"-source=pliki", L"/LOG=D:\\l.log", L"/UNINSTALL"}), 0);
    ASSERT_EQ(platform.copyRuns.size(), 1u);
    EXPECT_EQ(platform.copyRuns[0].arguments[0], L"-source=" + installed + L"\\pliki");
    EXPECT_EQ(platform.copyRuns[0].arguments[1], L"/LOG=D:\\l.log");
    platform.executablePath = L"C:\\Instal\\Instalator.exe";

    // No list to read: the files cannot be had (4); a list that was changed: 12.
    windowOpened = false;
    EXPECT_EQ(Run(Install({L"/SOURCE=D:\\nic"})), 4);
    EXPECT_TRUE(Logged(L"Nie można użyć kopii plików (/SOURCE): nie można odczytać listy plików kopii D:\\nic\\Kanvel-pliki.txt"));
    std::string list = platform.files().ReadFile(L"C:\\Instal\\pliki\\Kanvel-pliki.txt");
    list[list.find(" 5 ") + 1] = '6';
    platform.files().WriteFile(L"C:\\Instal\\pliki\\Kanvel-pliki.txt", list);
    EXPECT_EQ(Run({L"/SOURCE=pliki"}), 12);
    EXPECT_FALSE(windowOpened);
    EXPECT_FALSE(platform.FileExists(installed + L"\\Edytor2.exe"));
}

TEST(CommandLineSource, FoldersAddressesAndWhatALayoutRunDoesNotTake) {
    const auto parse = [](std::vector<std::wstring> arguments) { return app::CommandLine::Parse(arguments); };
    EXPECT_EQ(parse({L"/SOURCE=\\\\serwer\\kanvel\\"}).options.source, L"\\\\serwer\\kanvel");
    EXPECT_EQ(parse({L"/SOURCE=.\\pliki\\"}).options.source, L"pliki");
    EXPECT_EQ(parse({L"/SOURCE=https://kopia.example.com/kanvel"}).options.source, L"https://kopia.example.com/kanvel/");
    EXPECT_EQ(parse({L"/SOURCE=http://127.0.0.1:8080/"}).options.source, L"http://127.0.0.1:8080/");
    EXPECT_EQ(parse({L"/SOURCE=http://kopia.example.com/"}).error->reason,
              L"połączenie z kopią plików nie byłoby szyfrowane (http://)");
    for (const wchar_t* bad : {L"/SOURCE=..\\pliki", L"/SOURCE=https://a.com/?x", L"/SOURCE=C:\\a\\..\\b"})
        EXPECT_TRUE(parse({bad}).error) << std::wstring(bad).size();
    EXPECT_FALSE(parse({L"/LAYOUT=D:\\pliki", L"/LOG=D:\\l.log"}).error);
    EXPECT_FALSE(parse({L"/SILENT", L"/LAYOUT=D:\\pliki"}).error);
    EXPECT_EQ(parse({L"/LAYOUT=D:\\pliki", L"/SOURCE=D:\\inne"}).error->reason, L"wyklucza się z /LAYOUT");
    EXPECT_EQ(parse({L"/LAYOUT=D:\\pliki", L"/EDITION=Procesor"}).error->reason, L"wyklucza się z /LAYOUT");
}

// The server's release list, signed by the maker (tools/release-list.sh,
// the test certificates), judged as Windows' CryptoAPI judges it: before
// any file, and every file fetched is checked against it.
class ReleaseListRunTest : public LocalCopyTest {
protected:
    // The requests made before the window opened, and what its release
    // gate answered when the window then asked for the server's list.
    std::size_t requestsBeforeWindow = 0;
    std::wstring windowRefusal, windowRelease;
    int RunMakersBuild(const Args& arguments) {
        return app::RunFromCommandLine(
            platform, arguments, [this](const app::WindowSettings& settings) {
                windowOpened = true;
                window = settings;
                requestsBeforeWindow = server.requests.size();
                if (settings.release) {
                    const auto opening = settings.release->Open();
                    windowRefusal = opening.refusal;
                    windowRelease = opening.list ? opening.list->release() : L"";
                }
                return install::InstallReport{};
            },
            makersBuild);
    }
    // Everything the server serves, its programs signed for the test platform.
    void ServeSignedEverything(const std::string& version) {
        ServeEverything();
        for (const auto& edition : services::kEditions)
            server.responses[Url(L"programy/wersja7/poprawki/" + std::wstring(edition.programBaseName) + L"._exe")]
                .body = TestSignatures::kByMaker;
        Served(L"sterowniki/bde/setup._exe") = TestSignatures::kByMaker;
        ServeSignedRelease(version);
    }
    void SetUp() override {
        LocalCopyTest::SetUp();
        platform.signatures = TestSignatures::Of;
    }
    std::string& Served(const std::wstring& serverPath) { return server.responses[Url(serverPath)].body; }

    const services::ProgramVerification makersBuild = TestRelease::MakersBuild();
    const std::wstring changedTable = L"programy/wersja7/bkp6/baza42.px";
};

// Every file fetched is checked by size and SHA-256 before it is stored, the
// tables fetched six at a time and a program resumed after a reset alike: a
// table changed on the server after the list was signed is refused and not
// stored, the others are stored, and the run ends with 12.
TEST_F(ReleaseListRunTest, AFileNotAsTheListNamesItIsRefusedAndTheOthersAreStored) {
    ServeSignedEverything("7.0.0");
    Served(changedTable) = "tablE";
    EXPECT_EQ(RunMakersBuild(Install({L"/COMPONENTS=program,database"})), 12) << LogText();
    EXPECT_TRUE(Logged(L"Nieudane pobranie pliku: plik niezgodny z listą plików wydania: " + changedTable));
    EXPECT_FALSE(platform.FileExists(installed + L"\\Format\\Bkp6\\baza42.px"));
    EXPECT_EQ(FilesIn(installed + L"\\Format\\Bkp6"), 72u);
    EXPECT_TRUE(Logged(L"lista plików wydania 7.0.0 (plików: 79)"));

    // A program cut short and resumed is judged by every byte it holds.
    const std::wstring program = L"programy/wersja7/poprawki/Edytor2._exe";
    Served(program) = std::string(TestSignatures::kByMaker) + std::string(400, 'p');
    Served(changedTable) = "table";
    ServeSignedRelease("7.0.0");
    auto& response = server.responses[Url(program)];
    response.error = services::TransferFailure::Socket(services::socket_error::ConnectionReset);
    response.failures = 1;
    response.cutAfter = 200;
    response.blockSize = 50;
    response.entityTag = L"\"v1\"";
    platform.DeleteFileAt(installed + L"\\Edytor2.exe");
    EXPECT_EQ(RunMakersBuild(Install({L"/COMPONENTS=program"})), 0) << LogText();
    ASSERT_TRUE(server.requests.back().resumeFrom);
    EXPECT_EQ(platform.files().ReadFile(installed + L"\\Edytor2.exe"), Served(program));

    // A file the list does not name is refused as well.
    auto list = *services::LayoutList::Read(Served(kListName), *platform.StartSha256()).list;
    list.Remove(program);
    Served(kListName) = list.Text(*platform.StartSha256());
    Served(kSignatureName) = TestRelease::Sign({}, "7.0.0").signature;  // any signature: judged first
    EXPECT_EQ(Run(Install({L"/COMPONENTS=program"})), 12) << LogText();
    EXPECT_TRUE(Logged(L"Nieudane pobranie pliku: pliku nie ma na liście plików wydania: " + program));
}

// A build that names the maker stops before any file when the list is
// missing, changed after signing, or signed by anyone else; its own code, 18.
TEST_F(ReleaseListRunTest, APublisherBuildStopsBeforeAnyFileWithoutTheMakersList) {
    ServeSignedEverything("7.0.0");
    const std::string list = Served(kListName), signature = Served(kSignatureName);
    auto refused = [&](const std::wstring& why) {
        server.requests.clear();
        EXPECT_EQ(RunMakersBuild(Install({L"/COMPONENTS=program,database"})), 18) << LogText();
        EXPECT_TRUE(FileRequests().empty());
        EXPECT_FALSE(platform.DirectoryExists(installed));
        EXPECT_TRUE(Logged(L"Nie można pobrać plików z serwera: " + why)) << LogText();
    };
    server.responses.erase(Url(kSignatureName));
    refused(L"lista plików wydania odrzucona: lista nie ma podpisu (brak pliku .p7s)");
    Served(kSignatureName) = signature;
    Served(kListName)[list.find(" 512 ") + 3] = '3';
    refused(L"lista plików wydania odrzucona: podpis listy nie jest ważnym podpisem producenta (kod 0x80091007)");
    ServeSignedRelease("7.0.0", "signing-other");
    refused(L"lista plików wydania odrzucona: podpis listy nie jest ważnym podpisem producenta (kod 0x800B0109)");
    ServeSignedRelease("7.0.0", "signing-expired");
    refused(L"lista plików wydania odrzucona: podpis listy nie jest ważnym podpisem producenta (kod 0x800B0101)");
    server.responses.erase(Url(kListName));
    refused(L"serwer nie ma listy plików wydania " + Url(kListName));
    EXPECT_TRUE(Logged(L"kod wyjścia 18: lista plików wydania (Kanvel-pliki.txt) brak"));

    // The window opens without asking the server; its first need of a file
    // from the server meets the same refusal, and then the maker's list.
    server.requests.clear();
    EXPECT_EQ(RunMakersBuild({}), 0);
    EXPECT_TRUE(windowOpened);
    EXPECT_EQ(requestsBeforeWindow, 0u);
    EXPECT_TRUE(windowRefusal.starts_with(L"Nie można pobrać plików z serwera: serwer nie ma listy plików wydania " +
                                          Url(kListName))) << platform::host::ToUtf8(windowRefusal);
    ServeSignedRelease("7.0.3");
    RunMakersBuild({});
    EXPECT_EQ(windowRefusal, L"");
    EXPECT_EQ(windowRelease, L"7.0.3");
}

// A build without a publisher (development, tests) uses a list the server
// has, signed or not, and without one behaves as before.
TEST_F(ReleaseListRunTest, ABuildWithoutPublisherUsesTheListWhenThereAndGoesOnWithoutOne) {
    ServeEverything();
    EXPECT_EQ(Run(Install({L"/COMPONENTS=program,database"})), 0);
    EXPECT_TRUE(Logged(L"serwer nie ma listy plików wydania " + Url(kListName)));
    EXPECT_TRUE(Logged(L"pliki nie są sprawdzane z listą wydania"));

    ServeSignedRelease("7.0.0");
    server.responses.erase(Url(kSignatureName));
    Served(changedTable) = "tablE";
    platform.DeleteFileAt(installed + L"\\Format\\Bkp6\\baza42.px");
    EXPECT_EQ(Run(Install({L"/COMPONENTS=database"})), 12) << LogText();
    EXPECT_FALSE(platform.FileExists(installed + L"\\Format\\Bkp6\\baza42.px"));
}

// "Apps & features" shows the release the list names; a list older than
// the installed release is a downgrade (16) unless /ALLOWDOWNGRADE.
TEST_F(ReleaseListRunTest, TheEntryNamesTheListsReleaseAndAnOlderListIsADowngrade) {
    ServeSignedEverything("8.0.10");
    ASSERT_EQ(RunMakersBuild(Install({})), 0) << LogText();
    EXPECT_EQ(EntryText(L"DisplayVersion"), L"8.0.10");

    ServeSignedRelease("8.0.9");
    server.requests.clear();
    EXPECT_EQ(RunMakersBuild(Install({})), 16);
    EXPECT_TRUE(FileRequests().empty());
    EXPECT_TRUE(Logged(L"Zainstalowane jest nowsze wydanie programu: Kanvel Administrator 8.0.10. Ten instalator "
                       L"zawiera wydanie 8.0.9"));
    EXPECT_EQ(EntryText(L"DisplayVersion"), L"8.0.10");
    EXPECT_EQ(RunMakersBuild(Install({L"/ALLOWDOWNGRADE"})), 0);
    EXPECT_EQ(EntryText(L"DisplayVersion"), L"8.0.9");
}

// /LAYOUT copies the server's tree as it is, its signed list included, and
// /SOURCE judges that list's signature as the server's is judged: a copy
// whose list was changed and sealed again, or that lost its signature, is
// refused (18) before any file.
TEST_F(ReleaseListRunTest, ACopyCarriesTheSignatureAndAListChangedAndResealedIsRefused) {
    ServeSignedEverything("7.0.0");
    ASSERT_EQ(RunMakersBuild({L"/LAYOUT=D:\\pliki"}), 0) << LogText();
    EXPECT_EQ(platform.files().ReadFile(L"D:\\pliki\\Kanvel-pliki.txt"), Served(kListName));
    EXPECT_EQ(platform.files().ReadFile(L"D:\\pliki\\Kanvel-pliki.txt.p7s"), Served(kSignatureName));
    for (const auto& [url, response] : server.responses) {
        const std::wstring copied = services::PathInCopy(L"D:\\pliki", url.substr(Url(L"").size()));
        if (url.find(L"Kanvel-pliki") == std::wstring::npos) {
            EXPECT_EQ(platform.files().ReadFile(copied), response.body);
        }
    }
    server.responses.clear();
    server.requests.clear();
    ASSERT_EQ(RunMakersBuild(Install({L"/COMPONENTS=program,database", L"/SOURCE=D:\\pliki"})), 0) << LogText();
    EXPECT_TRUE(server.requests.empty());
    EXPECT_EQ(EntryText(L"DisplayVersion"), L"7.0.0");

    // A table changed in the copy, and its list written again with a right seal.
    platform.files().WriteFile(table, "tablE");
    auto list = *ListOfCopy().list;
    list.Put({changedTable, 5, services::FactsOfFile(platform, table)->sha256});
    platform.files().WriteFile(L"D:\\pliki\\Kanvel-pliki.txt", list.Text(*platform.StartSha256()));
    platform.files().MakeFolders(L"D:\\Drugi");
    const Args second{L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Procesor", L"/DIR=D:\\Drugi",
                      L"/COMPONENTS=program,database", L"/SOURCE=D:\\pliki"};
    EXPECT_EQ(RunMakersBuild(second), 18);
    EXPECT_TRUE(Logged(L"lista plików kopii odrzucona (podpis listy nie jest ważnym podpisem producenta (kod "
                       L"0x80091007)): D:\\pliki"));
    EXPECT_FALSE(platform.DirectoryExists(L"D:\\Drugi\\OR-Vel"));
    platform.DeleteFileAt(L"D:\\pliki\\Kanvel-pliki.txt.p7s");
    EXPECT_EQ(RunMakersBuild(second), 18);
    // A build without a publisher takes the copy by its list alone, as before.
    EXPECT_EQ(Run(second), 0) << LogText();
}

}  // namespace
}  // namespace kanvel::testing
