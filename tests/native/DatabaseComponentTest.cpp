#include <algorithm>

#include "InstallerHarness.h"
#include "pages/install/DatabaseFileSets.h"
#include "pages/notice/TFormQst.h"

namespace kanvel::testing {
namespace {


class DatabaseComponentTest : public InstallerTest {
protected:
    void SetUp() override {
        StartUpAcceptedWith(0);
        // Title, both lines: these notices are the logged ones.
        toolkit.onModal = [this](ui::Form& f) {
            auto& q = dynamic_cast<notice::TFormQst&>(f);
            notices.push_back(q.caption() + L"|" + q.Label1.caption() + L"|" + q.Label2.caption());
        };
    }
    static std::vector<std::wstring> AllNames() {
        std::vector<std::wstring> names;
        for (const auto* set : {&install::kStatementSet, &install::kDataSet, &install::kConfigurationSet})
            for (auto slot : set->slots)
                if (!slot.empty()) names.emplace_back(slot);
        return names;
    }
    void ServeAll() {
        for (const auto& name : AllNames())
            server.responses[Url(L"programy/wersja7/bkp6/" + name)] = {.body = "tabela " + platform::host::ToUtf8(name)};
    }
    void FillPristine() {
        for (const auto& name : AllNames()) platform.files().WriteFile(L"C:\\OR-Vel\\Format\\Bkp6\\" + name, "pristine");
    }
    std::string read(const std::wstring& path) { return platform.files().ReadFile(path); }
};

TEST_F(DatabaseComponentTest, SetsNameSeventyThreeDistinctFilesInTheirSlots) {
    const auto names = AllNames();
    EXPECT_EQ(names.size(), 73u);
    EXPECT_EQ(std::set<std::wstring>(names.begin(), names.end()).size(), 73u);
    EXPECT_EQ(install::kStatementSet.slots.size(), 10u);
    EXPECT_EQ(install::kDataSet.slots.size(), 30u);
    EXPECT_EQ(install::kConfigurationSet.slots.size(), 48u);
}

TEST_F(DatabaseComponentTest, FirstRunFetchesEverySetInOrderAndCopiesThemToTheirFolders) {
    ServeAll();
    panel().BBBaza.click();
    ASSERT_EQ(server.requests.size(), 73u);
    // Data set first, then configuration, then statements.
    EXPECT_EQ(server.requests.front().url, Url(L"programy/wersja7/bkp6/baza1.db"));
    EXPECT_EQ(server.requests[22].url, Url(L"programy/wersja7/bkp6/config1.db"));
    EXPECT_EQ(server.requests.back().url, Url(L"programy/wersja7/bkp6/zestaw5.px"));
    EXPECT_EQ(read(L"C:\\OR-Vel\\Format\\Zestaw\\zestaw1.db"), "tabela zestaw1.db");
    EXPECT_EQ(read(L"C:\\OR-Vel\\Format\\Dbf6\\baza42.px"), "tabela baza42.px");
    EXPECT_EQ(read(L"C:\\OR-Vel\\Format\\Cfg\\config.db"), "tabela config.db");
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Format\\Cfg\\baza1.db"));
    EXPECT_EQ(main().LabelInfo.caption(), L"Pobranie bazy danych zakończone");
    EXPECT_TRUE(notices.empty());
}

TEST_F(DatabaseComponentTest, CompletePristineFolderIsCopiedAgainWithoutAnyDownload) {
    FillPristine();
    platform.files().WriteFile(L"C:\\OR-Vel\\Format\\Dbf6\\baza1.db", "changed by the user");
    platform.files().WriteFile(L"C:\\OR-Vel\\Format\\Dbf6\\own.db", "other file");
    platform.files().WriteFile(L"C:\\OR-Vel\\Format\\Bkp6\\extra.db", "unlisted");
    panel().BBBaza.click();
    EXPECT_TRUE(server.requests.empty());
    EXPECT_EQ(read(L"C:\\OR-Vel\\Format\\Dbf6\\baza1.db"), "pristine");
    EXPECT_EQ(read(L"C:\\OR-Vel\\Format\\Dbf6\\own.db"), "other file");
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Format\\Dbf6\\extra.db"));
    EXPECT_EQ(main().LabelInfo.caption(), L"Pliki bazy danych już istnieją");
}

TEST_F(DatabaseComponentTest, OneMissingConfigurationFileIsFetched) {
    FillPristine();
    platform.DeleteFileAt(L"C:\\OR-Vel\\Format\\Bkp6\\config26.val");
    ServeAll();
    panel().BBBaza.click();
    ASSERT_EQ(server.requests.size(), 1u);
    EXPECT_EQ(main().LabelInfo.caption(), L"Pobranie bazy danych zakończone");
}

TEST_F(DatabaseComponentTest, ReadOnlyWorkingFileIsReplacedAndTheCopyCarriesNoAttributes) {
    FillPristine();
    platform.files().WriteFile(L"C:\\OR-Vel\\Format\\Cfg\\config1.db", "old");
    platform.SetAttributes(L"C:\\OR-Vel\\Format\\Cfg\\config1.db", 1);
    panel().BBBaza.click();
    EXPECT_EQ(read(L"C:\\OR-Vel\\Format\\Cfg\\config1.db"), "pristine");
    const auto perms = std::filesystem::status(platform.files().ToHost(L"C:\\OR-Vel\\Format\\Cfg\\config1.db")).permissions();
    EXPECT_NE(perms & std::filesystem::perms::owner_write, std::filesystem::perms::none);
}

TEST_F(DatabaseComponentTest, MissingStatementFileIsSkippedButTheOtherSetsAreCopied) {
    FillPristine();
    platform.DeleteFileAt(L"C:\\OR-Vel\\Format\\Bkp6\\zestaw6.db");
    panel().BBBaza.click();  // its download fails: 404
    EXPECT_EQ(log.withPrefix(L"message ").size(), 1u);
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Format\\Zestaw\\zestaw6.db"));
    EXPECT_TRUE(platform.FileExists(L"C:\\OR-Vel\\Format\\Cfg\\config36.val"));
    EXPECT_TRUE(notices.empty());
}

TEST_F(DatabaseComponentTest, MissingDataFileStopsTheCopyWithALoggedNoticeAndTheSilentAbort) {
    FillPristine();
    platform.DeleteFileAt(L"C:\\OR-Vel\\Format\\Bkp6\\baza12.px");
    main().LabelInfo.setCaption(L"przed");
    application->guarded([&] { panel().BBBaza.click(); });
    EXPECT_EQ(notices, std::vector<std::wstring>{L"Problem zewnętrzny!|Niemożliwe przekazanie danych do bazy tymczasowej|"
                                                 L"Program należy uruchomić ponownie."});
    EXPECT_TRUE(log.withPrefix(L"error ").empty());  // silent
    EXPECT_TRUE(platform.FileExists(L"C:\\OR-Vel\\Format\\Zestaw\\zestaw1.db"));
    EXPECT_TRUE(platform.FileExists(L"C:\\OR-Vel\\Format\\Dbf6\\baza12.db"));
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Format\\Dbf6\\baza2.val"));
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Format\\Cfg\\config1.db"));
    EXPECT_EQ(main().LabelInfo.caption(), L"");  // the failed download cleared it; nothing after
    const std::string logged = platform.files().ReadFile(L"C:\\Instal\\Komunikaty.err");
    EXPECT_NE(logged.find("Niemo\xBFliwe przekazanie danych do bazy tymczasowej"), std::string::npos);
}

// A user's working table whose pristine copy is missing (an earlier run had
// no connection) is never deleted: it stays byte for byte, read-only or not.
TEST_F(DatabaseComponentTest, WorkingTableWithoutItsPristineCopyIsKeptInEverySet) {
    struct Case {
        std::wstring working;
        std::wstring noticeLine;  // empty: the statement set skips the slot quietly
    };
    const Case cases[] = {
        {L"Zestaw\\zestaw2.db", L""},
        {L"Dbf6\\baza3.db", L"Niemożliwe przekazanie danych do bazy tymczasowej"},
        {L"Cfg\\config24.db", L"Niemożliwe przekazanie danych do bazy Cfg"},
    };
    for (const bool readOnly : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(platform::host::ToUtf8(c.working) + (readOnly ? " read-only" : ""));
            FillPristine();
            const std::wstring name = c.working.substr(c.working.find(L'\\') + 1);
            const std::wstring working = L"C:\\OR-Vel\\Format\\" + c.working;
            platform.files().WriteFile(working, "edited by the user");
            if (readOnly) platform.SetAttributes(working, 1);
            platform.DeleteFileAt(L"C:\\OR-Vel\\Format\\Bkp6\\" + name);
            notices.clear();
            application->guarded([&] { panel().BBBaza.click(); });  // the download of NAME fails: 404

            EXPECT_EQ(read(working), "edited by the user");
            const auto perms = std::filesystem::status(platform.files().ToHost(working)).permissions();
            EXPECT_EQ((perms & std::filesystem::perms::owner_write) == std::filesystem::perms::none, readOnly);
            if (c.noticeLine.empty()) {
                EXPECT_TRUE(notices.empty());
                EXPECT_EQ(read(L"C:\\OR-Vel\\Format\\Cfg\\config1.db"), "pristine");  // later sets copied
            } else {
                EXPECT_EQ(notices, std::vector<std::wstring>{L"Problem zewnętrzny!|" + c.noticeLine +
                                                             L"|Program należy uruchomić ponownie."});
            }
            platform.SetAttributes(working, 0);
        }
    }
}

TEST_F(DatabaseComponentTest, WorkingFileThatCannotBeReplacedStopsWithItsSetsNoticeAndStays) {
    FillPristine();
    platform.files().WriteFile(L"C:\\OR-Vel\\Format\\Cfg\\config2.db", "in use");
    platform.lockedFiles.push_back(L"C:\\OR-Vel\\Format\\Cfg\\config2.db");
    application->guarded([&] { panel().BBBaza.click(); });
    EXPECT_EQ(notices, std::vector<std::wstring>{L"Problem zewnętrzny!|Niemożliwe przygotowanie bazy Cfg na przyjęcie "
                                                 L"danych|Program należy uruchomić ponownie."});
    EXPECT_EQ(read(L"C:\\OR-Vel\\Format\\Cfg\\config1.db"), "pristine");
    EXPECT_EQ(read(L"C:\\OR-Vel\\Format\\Cfg\\config2.db"), "in use");
}

// A virus scanner that opens a working table for a moment, just as the step
// replaces it, only delays the step.
TEST_F(DatabaseComponentTest, WorkingFileHeldForAMomentIsStillReplaced) {
    FillPristine();
    platform.files().WriteFile(L"C:\\OR-Vel\\Format\\Cfg\\config2.db", "scanned");
    platform.briefHolds.push_back({L"C:\\OR-Vel\\Format\\Cfg\\config2.db", platform.SteadyMilliseconds() + 1500});
    application->guarded([&] { panel().BBBaza.click(); });
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(read(L"C:\\OR-Vel\\Format\\Cfg\\config2.db"), "pristine");
    EXPECT_EQ(main().LabelInfo.caption(), L"Pliki bazy danych już istnieją");
}

// A working table whose copy cannot be made (here its path has 256
// characters, one more than the copy takes) is never deleted first.
TEST_F(DatabaseComponentTest, TableWhoseCopyFailsIsKeptAsItWas) {
    const std::wstring location = L"D:\\" + std::wstring(100, L'a') + L"\\" + std::wstring(120, L'b');
    platform.files().MakeFolders(location);
    panel().Edit1.setText(location);
    const std::wstring table = location + L"\\OR-Vel\\Format\\Zestaw\\zestaw1.db";
    ASSERT_EQ(table.size(), 256u);
    platform.files().WriteFile(location + L"\\OR-Vel\\Format\\Bkp6\\zestaw1.db", "pristine");
    platform.files().WriteFile(table, "edited by the user");
    application->guarded([&] { panel().BBBaza.click(); });
    EXPECT_EQ(read(table), "edited by the user");
    EXPECT_EQ(notices, std::vector<std::wstring>{L"Problem zewnętrzny!|Niemożliwe przekazanie zestawień do bazy "
                                                 L"tymczasowej|Program należy uruchomić ponownie."});
}

TEST_F(DatabaseComponentTest, NoConnectionReportsEveryFileThenStopsAtTheFirstDataSlot) {
    for (const auto& name : AllNames())
        server.responses[Url(L"programy/wersja7/bkp6/" + name)] = {
            .error = services::TransferFailure::Socket(10061)};
    const std::int64_t started = platform.SteadyMilliseconds();
    application->guarded([&] { panel().BBBaza.click(); });
    // The first file is tried four times, after pauses of 1, 3 and 9 s; then
    // the server is out of reach and each other file is tried once, at once.
    EXPECT_EQ(server.requests.size(), 73u + 3u);
    EXPECT_EQ(std::ranges::count(server.requests, Url(L"programy/wersja7/bkp6/baza1.db"),
                                 &platform::host::ScriptedServer::Request::url),
              4);
    EXPECT_EQ(log.withPrefix(L"wait "), (std::vector<std::wstring>{L"wait 1000", L"wait 3000", L"wait 9000"}));
    EXPECT_EQ(platform.SteadyMilliseconds() - started, 13'000);
    const auto messages = log.withPrefix(L"message ");
    EXPECT_EQ(messages.size(), 73u);
    EXPECT_EQ(std::set<std::wstring>(messages.begin(), messages.end()),
              std::set<std::wstring>{L"message Błąd połączenia z internetem"});
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find(L"Niemożliwe przekazanie danych do bazy tymczasowej"), std::wstring::npos);
}

TEST_F(DatabaseComponentTest, ButtonFollowsItsCheckBoxOnlyAfterAcceptance) {
    panel().CBBaza.setChecked(true);
    EXPECT_TRUE(panel().BBBaza.enabled());
    panel().CBBaza.setChecked(false);
    EXPECT_FALSE(panel().BBBaza.enabled());
    panel().BBWstecz.click();
    main().RGAkceptacja.choose(1);
    panel().CBBaza.setChecked(true);
    EXPECT_FALSE(panel().BBBaza.enabled());
}

}  // namespace
}  // namespace kanvel::testing
