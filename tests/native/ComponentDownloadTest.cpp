#include "InstallerHarness.h"
#include "services/download/PartialFilePath.h"
#include "services/installer/InstallerError.h"
#include "services/download/ProgressScale.h"
#include "pages/notice/TFormProxy.h"
#include "services/http/ProxySignIns.h"
#include "pages/notice/TFormQst.h"

namespace kanvel::testing {
namespace {

const std::wstring kPrograms = L"programy/wersja7/poprawki";
const std::wstring kTables = L"programy/wersja7/bkp6";
const std::wstring kEngine = L"sterowniki/bde";

class ComponentDownloadTest : public InstallerTest {
protected:

    void SetUp() override {
        StartUp();
        platform.files().MakeFolders(L"C:\\OR-Vel\\Format\\Bkp6");
        CaptureNotices();
        main().LabelInfo.setCaption(L"przed");
        panel().ProgressBar1.setPosition(7);
    }
    bool Fetch(const std::wstring& folder, const std::wstring& name, const std::wstring& ext, bool auth,
               const std::wstring& target) {
        return panel().PobraniePliku(folder, name, ext, auth, target);
    }
    void Serve(const std::wstring& path, platform::host::ScriptedResponse response) {
        server.responses[Url(path)] = std::move(response);
    }
    std::vector<std::wstring> messages() const { return log.withPrefix(L"message "); }
    void ExpectCleanedUp() {
        EXPECT_EQ(main().LabelInfo.caption(), L"");
        EXPECT_EQ(panel().ProgressBar1.position(), 0);
    }
};

TEST_F(ComponentDownloadTest, UnauthenticatedCallForAnExistingFileDoesNothingAtAll) {
    platform.files().WriteFile(L"C:\\OR-Vel\\Format\\Bkp6\\baza1.db", "old");
    EXPECT_FALSE(Fetch(kTables, L"baza1.db", L"", false, L"C:\\OR-Vel\\Format\\Bkp6"));
    EXPECT_TRUE(server.requests.empty());
    EXPECT_EQ(main().LabelInfo.caption(), L"przed");
    EXPECT_EQ(panel().ProgressBar1.position(), 7);
}

TEST_F(ComponentDownloadTest, MissingFileIsFetchedWithoutCredentialsUnderItsPlainName) {
    Serve(kTables + L"/baza1.db", {.body = "table bytes"});
    EXPECT_TRUE(Fetch(kTables, L"baza1.db", L"", false, L"C:\\OR-Vel\\Format\\Bkp6"));
    ASSERT_EQ(server.requests.size(), 1u);
    EXPECT_EQ(server.requests[0].url, Url(L"programy/wersja7/bkp6/baza1.db"));
    EXPECT_FALSE(server.requests[0].basicAuthentication);
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Format\\Bkp6\\baza1.db"), "table bytes");
    ExpectCleanedUp();
    EXPECT_TRUE(messages().empty());
}

TEST_F(ComponentDownloadTest, AuthenticatedCallSendsTheCredentialsAndStoresUnderTheLocalName) {
    Serve(kPrograms + L"/Edytor3._exe", {.body = "MZ program"});
    EXPECT_TRUE(Fetch(kPrograms, L"Edytor3", L"exe", true, L"C:\\OR-Vel"));
    ASSERT_EQ(server.requests.size(), 1u);
    EXPECT_TRUE(server.requests[0].basicAuthentication);
    EXPECT_EQ(server.requests[0].username, L"kanvel8");
    EXPECT_EQ(server.requests[0].password, L"tormik584");
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe"), "MZ program");
    EXPECT_TRUE(notices.empty());
    // Credentials go with the request that asks for them, never with the next one.
    Serve(kEngine + L"/setup._exe", {.body = "setup"});
    platform.files().MakeFolders(L"C:\\OR-Vel\\Sterowniki\\BDE");
    EXPECT_TRUE(Fetch(kEngine, L"setup", L"exe", false, L"C:\\OR-Vel\\Sterowniki\\BDE"));
    EXPECT_FALSE(server.requests[1].basicAuthentication);
    EXPECT_EQ(server.requests[1].username, L"");
}

TEST_F(ComponentDownloadTest, ExistingFileWithExtensionIsAnnouncedThenReplaced) {
    platform.files().MakeFolders(L"C:\\OR-Vel\\Sterowniki\\BDE");
    platform.files().WriteFile(L"C:\\OR-Vel\\Sterowniki\\BDE\\setup.exe", "old setup");
    Serve(kEngine + L"/setup._exe", {.body = "new setup"});
    EXPECT_TRUE(Fetch(kEngine, L"setup", L"exe", true, L"C:\\OR-Vel\\Sterowniki\\BDE"));
    EXPECT_EQ(notices, std::vector<std::wstring>{L"C:\\OR-Vel\\Sterowniki\\BDE\\setup.exe\rzostanie zastąpiony nową wersją."});
    EXPECT_EQ(server.requests.at(0).url, Url(L"sterowniki/bde/setup._exe"));
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Sterowniki\\BDE\\setup.exe"), "new setup");
    ExpectCleanedUp();
}

TEST_F(ComponentDownloadTest, AuthenticatedCallForAnExistingFileWithoutExtensionSucceedsWithoutARequest) {
    platform.files().WriteFile(L"C:\\OR-Vel\\Format\\Bkp6\\baza1.db", "old");
    log.clear();
    EXPECT_TRUE(Fetch(kTables, L"baza1.db", L"", true, L"C:\\OR-Vel\\Format\\Bkp6"));
    EXPECT_TRUE(server.requests.empty());
    EXPECT_TRUE(notices.empty());
    EXPECT_TRUE(log.withPrefix(L"pump").empty());
    ExpectCleanedUp();
}

TEST_F(ComponentDownloadTest, FailuresAreReportedByKindAndLeaveTheOldFileExactlyAsItWas) {
    struct Case {
        platform::host::ScriptedResponse response;
        std::wstring message;
    };
    const std::vector<Case> cases{
        {{.error = services::TransferFailure::HttpStatus(L"HTTP/1.1", 404, L"Not Found")}, L"message Nieudane pobranie pliku: HTTP/1.1 404 Not Found"},
        {{.error = services::TransferFailure::HttpStatus(L"HTTP/1.1", 302, L"Found")}, L"message Nieudane pobranie pliku: HTTP/1.1 302 Found"},
        {{.error = services::TransferFailure::Socket(11001)}, L"message Błąd połączenia z internetem"},
        {{.body = "half of the new", .error = services::TransferFailure::Socket(10054), .errorAfterBody = true},
         L"message Błąd połączenia z internetem"},
    };
    platform.files().WriteFile(L"C:\\OR-Vel\\Edytor3.exe", "working older version");
    for (const auto& c : cases) {
        log.clear();
        Serve(kPrograms + L"/Edytor3._exe", c.response);
        EXPECT_FALSE(Fetch(kPrograms, L"Edytor3", L"exe", true, L"C:\\OR-Vel"));
        EXPECT_EQ(messages(), std::vector<std::wstring>{c.message});
        EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe"), "working older version");
        ExpectCleanedUp();
    }
    // Nothing but the old file is left in the folder: no temporary file.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(platform.files().ToHost(L"C:\\OR-Vel")))
        ++entries;
    EXPECT_EQ(entries, 2);  // Edytor3.exe and Format
}

TEST_F(ComponentDownloadTest, PartialFileOfAKilledRunIsReplacedAndNeverOutlivesTheDownload) {
    const std::wstring partial = L"C:\\OR-Vel\\Edytor3.exe.part";
    // A killed run left half a body behind; the next download takes its place.
    platform.files().WriteFile(partial, "MZ half of an older download");
    platform.files().WriteFile(L"C:\\OR-Vel\\Edytor3.exe", "MZ old");
    bool partialDuringTransfer = false;
    std::string targetDuringTransfer;
    server.onBlock = [&] {
        partialDuringTransfer = platform.FileExists(partial);
        targetDuringTransfer = platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe");
    };
    Serve(kPrograms + L"/Edytor3._exe", {.body = "MZ new", .blockSize = 6});
    EXPECT_TRUE(Fetch(kPrograms, L"Edytor3", L"exe", true, L"C:\\OR-Vel"));
    EXPECT_TRUE(partialDuringTransfer);
    EXPECT_EQ(targetDuringTransfer, "MZ old");
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe"), "MZ new");
    EXPECT_FALSE(platform.FileExists(partial));

    // A download that breaks off removes its partial file and keeps the old one.
    server.onBlock = nullptr;
    platform.files().WriteFile(partial, "MZ another leftover");
    Serve(kPrograms + L"/Edytor3._exe",
          {.body = "MZ cut", .error = services::TransferFailure::Socket(10054), .errorAfterBody = true});
    EXPECT_FALSE(Fetch(kPrograms, L"Edytor3", L"exe", true, L"C:\\OR-Vel"));
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe"), "MZ new");
    EXPECT_FALSE(platform.FileExists(partial));
}

// A link planted where the partial file goes is taken away as the link: the
// body is never written through it.
TEST_F(ComponentDownloadTest, ALinkPlantedAsThePartialFileIsNeverWrittenThrough) {
    platform.files().WriteFile(L"D:\\Windows\\system.dll", "someone else's file");
    std::filesystem::create_symlink(platform.files().ToHost(L"D:\\Windows\\system.dll"),
                                    platform.files().ToHost(L"C:\\OR-Vel\\Edytor3.exe.part"));
    Serve(kPrograms + L"/Edytor3._exe", {.body = "MZ new"});
    EXPECT_TRUE(Fetch(kPrograms, L"Edytor3", L"exe", true, L"C:\\OR-Vel"));
    EXPECT_EQ(platform.files().ReadFile(L"D:\\Windows\\system.dll"), "someone else's file");
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe"), "MZ new");
}

TEST(PartialFilePath, OneFixedNamePerTargetWithinTheNameLimit) {
    EXPECT_EQ(services::PartialFilePath(L"C:\\OR-Vel\\Edytor3.exe"), L"C:\\OR-Vel\\Edytor3.exe.part");
    EXPECT_EQ(services::PartialFilePath(L"D:\\a.b\\zestaw1.db"), L"D:\\a.b\\zestaw1.db.part");
    // A name of 255 characters cannot take the ending: its end gives way,
    // the folder stays as it is.
    const std::wstring folder = L"C:\\" + std::wstring(300, L'f');
    const std::wstring longName(255, L'n');
    const std::wstring partial = services::PartialFilePath(folder + L"\\" + longName);
    EXPECT_EQ(partial, folder + L"\\" + std::wstring(250, L'n') + L".part");
    EXPECT_EQ(services::PartialFilePath(folder + L"\\" + std::wstring(250, L'n')), partial);
    EXPECT_EQ(services::PartialFilePath(std::wstring(249, L'n')), std::wstring(249, L'n') + L".part");
}

TEST_F(ComponentDownloadTest, FailedFetchOfAMissingFileCreatesNoFile) {
    EXPECT_FALSE(Fetch(kTables, L"baza12.px", L"", false, L"C:\\OR-Vel\\Format\\Bkp6"));
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Format\\Bkp6\\baza12.px"));
    EXPECT_EQ(messages(), std::vector<std::wstring>{L"message Nieudane pobranie pliku: HTTP/1.1 404 Not Found"});
}

TEST_F(ComponentDownloadTest, MissingTargetFolderIsAFailureWithThePlatformsFileMessage) {
    Serve(kTables + L"/baza1.db", {.body = "x"});
    EXPECT_FALSE(Fetch(kTables, L"baza1.db", L"", false, L"C:\\brak"));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].rfind(L"message Nieudane pobranie pliku: Cannot create file \"C:\\brak\\baza1.db\".", 0), 0u);
}

TEST_F(ComponentDownloadTest, EmptyBodyIsStoredAsAnEmptyFile) {
    Serve(kTables + L"/config.db", {.body = ""});
    EXPECT_TRUE(Fetch(kTables, L"config.db", L"", false, L"C:\\OR-Vel\\Format\\Bkp6"));
    EXPECT_TRUE(platform.FileExists(L"C:\\OR-Vel\\Format\\Bkp6\\config.db"));
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Format\\Bkp6\\config.db"), "");
}

TEST_F(ComponentDownloadTest, ProgressFollowsTheBytesAndPumpsOncePerBlock) {
    Serve(kTables + L"/zestaw1.db", {.body = std::string(10, 'z'), .blockSize = 4});
    std::vector<std::pair<int, int>> seen;
    server.onBlock = [&] { seen.emplace_back(panel().ProgressBar1.max(), panel().ProgressBar1.position()); };
    log.clear();
    EXPECT_TRUE(Fetch(kTables, L"zestaw1.db", L"", false, L"C:\\OR-Vel\\Format\\Bkp6"));
    // Seen as each block arrives: the maximum is the size, the position the bytes so far.
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{10, 0}, {10, 4}, {10, 8}}));
    // One pump before the request, one after each of the three blocks.
    EXPECT_EQ(log.withPrefix(L"pump").size(), 4u);
}

TEST_F(ComponentDownloadTest, BodyWithoutDeclaredLengthShowsAHundredAsMaximumAndIsNotStored) {
    Serve(kTables + L"/zestaw2.db", {.body = std::string(150, 'z'), .announced = 0, .blockSize = 50});
    std::vector<std::pair<int, int>> seen;
    server.onBlock = [&] { seen.emplace_back(panel().ProgressBar1.max(), panel().ProgressBar1.position()); };
    EXPECT_FALSE(Fetch(kTables, L"zestaw2.db", L"", false, L"C:\\OR-Vel\\Format\\Bkp6"));
    // Seen before each block's progress event: the previous block's position, kept within 0..100.
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{100, 0}, {100, 50}, {100, 100}}));
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Format\\Bkp6\\zestaw2.db"));
}

// A body is stored only when the answer declared its length and exactly that
// many bytes came: whatever else arrives fails with its reason, keeps the old
// file as it was and leaves no partial file.
TEST_F(ComponentDownloadTest, BodiesNotKnownToBeWholeAreNeverStored) {
    struct Case {
        platform::host::ScriptedResponse response;
        std::wstring reason;
    };
    const std::string body(1000, 'n');
    const std::vector<Case> cases{
        {{.body = body, .chunked = true}, L"serwer przysłał plik w częściach, bez podanej długości"},
        {{.body = body, .announced = 0}, L"serwer nie podał długości pliku"},
        {{.body = body.substr(0, 400), .announced = 1000}, L"plik niekompletny, odebrano 400 z 1000 bajtów"},
        {{.body = body, .announced = 999}, L"plik dłuższy, niż zapowiedział serwer: odebrano 1000 z 999 bajtów"},
    };
    platform.files().WriteFile(L"C:\\OR-Vel\\Edytor3.exe", "working older version");
    for (const auto& c : cases) {
        SCOPED_TRACE(platform::host::ToUtf8(c.reason));
        log.clear();
        Serve(kPrograms + L"/Edytor3._exe", c.response);
        EXPECT_FALSE(Fetch(kPrograms, L"Edytor3", L"exe", true, L"C:\\OR-Vel"));
        EXPECT_EQ(messages(), std::vector<std::wstring>{L"message Nieudane pobranie pliku: " + c.reason});
        EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe"), "working older version");
        EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Edytor3.exe.part"));
        ExpectCleanedUp();
    }
}

TEST(ProgressScale, BodiesOfTwoGibibytesAndMoreStillFitThe32BitBar) {
    EXPECT_EQ(services::ProgressShiftFor(1000), 0);
    EXPECT_EQ(services::ProgressShiftFor(0x7FFFFFFF), 0);
    const std::int64_t threeGiB = 3LL << 30;
    const int shift = services::ProgressShiftFor(threeGiB);
    EXPECT_EQ(shift, 1);
    EXPECT_GT(services::ScaledProgress(threeGiB, shift), 0);
    EXPECT_EQ(services::ScaledProgress(threeGiB / 2, shift), services::ScaledProgress(threeGiB, shift) / 2);
    EXPECT_EQ(services::ScaledProgress(1LL << 62, 0), 0x7FFFFFFF);
}

TEST_F(ComponentDownloadTest, AnnouncedThreeGibibytesGiveAPositiveMaximum) {
    Serve(kTables + L"/duzy.db", {.body = "abc", .announced = 3LL << 30});
    int maxSeen = 0;
    server.onBlock = [&] { maxSeen = panel().ProgressBar1.max(); };
    Fetch(kTables, L"duzy.db", L"", false, L"C:\\OR-Vel\\Format\\Bkp6");
    EXPECT_EQ(maxSeen, static_cast<int>((3LL << 30) >> 1));
}

TEST_F(ComponentDownloadTest, CallDuringARunningTransferIsRefusedAndChangesNothing) {
    Serve(kTables + L"/baza1.db", {.body = std::string(8, 'a'), .blockSize = 4});
    Serve(kTables + L"/baza2.db", {.body = "b"});
    bool innerResult = true;
    int innerCalls = 0;
    server.onBlock = [&] {
        // A click arriving through the message pump of the running transfer.
        toolkit.pendingMessages.push_back([&] {
            if (innerCalls++ > 0) return;
            innerResult = Fetch(kTables, L"baza2.db", L"", false, L"C:\\OR-Vel\\Format\\Bkp6");
            EXPECT_EQ(main().LabelInfo.caption(), L"Pobranie pliku: baza1.db");
        });
    };
    EXPECT_TRUE(Fetch(kTables, L"baza1.db", L"", false, L"C:\\OR-Vel\\Format\\Bkp6"));
    EXPECT_FALSE(innerResult);
    EXPECT_EQ(server.requests.size(), 1u);
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Format\\Bkp6\\baza2.db"));
    // Once the transfer is over, the next call goes through.
    server.onBlock = nullptr;
    EXPECT_TRUE(Fetch(kTables, L"baza2.db", L"", false, L"C:\\OR-Vel\\Format\\Bkp6"));
}


// The status line as it changed while the download waited for the window
// (each pump of the message loop looks at it).
class StatusWatch {
public:
    StatusWatch(platform::host::HeadlessToolkit& toolkit, const ui::Label& label) : toolkit_(toolkit), label_(label) {
        watch();
    }
    ~StatusWatch() { stopped_ = true; }
    const std::vector<std::wstring>& seen() const { return seen_; }

private:
    void watch() {
        toolkit_.pendingMessages.push_back([this] {
            if (stopped_) return;
            if (seen_.empty() || seen_.back() != label_.caption()) seen_.push_back(label_.caption());
            watch();
        });
    }
    platform::host::HeadlessToolkit& toolkit_;
    const ui::Label& label_;
    std::vector<std::wstring> seen_;
    bool stopped_ = false;
};

const services::TransferFailure kUnavailable = services::TransferFailure::HttpStatus(L"HTTP/1.1", 503, L"Service Unavailable");
const services::TransferFailure kReset = services::TransferFailure::Socket(10054);

TEST_F(ComponentDownloadTest, ABusyServerIsAskedAgainAfterGrowingPausesAndTheStatusLineSaysSo) {
    Serve(kEngine + L"/setup._exe", {.body = "MZ setup", .error = kUnavailable, .failures = 2});
    platform.files().MakeFolders(L"C:\\OR-Vel\\Sterowniki\\BDE");
    StatusWatch status(toolkit, main().LabelInfo);
    EXPECT_TRUE(Fetch(kEngine, L"setup", L"exe", false, L"C:\\OR-Vel\\Sterowniki\\BDE"));
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Sterowniki\\BDE\\setup.exe"), "MZ setup");
    EXPECT_EQ(server.requests.size(), 3u);
    EXPECT_EQ(log.withPrefix(L"wait "), (std::vector<std::wstring>{L"wait 1000", L"wait 3000"}));
    EXPECT_EQ(status.seen(), (std::vector<std::wstring>{L"Pobranie pliku: setup.exe", L"Ponowna próba pobrania (1/3)...",
                                                        L"Ponowna próba pobrania (2/3)..."}));
    EXPECT_TRUE(messages().empty());
    ExpectCleanedUp();
}

TEST_F(ComponentDownloadTest, TheFailureIsToldOnceAfterTheLastTryAndOnlyPassingFailuresAreTriedAgain) {
    struct Case {
        services::TransferFailure error;
        std::size_t requests;
    };
    const std::vector<Case> cases{
        {kUnavailable, 4u},
        {services::TransferFailure::HttpStatus(L"HTTP/1.1", 502, L"Bad Gateway"), 4u},
        {services::TransferFailure::HttpStatus(L"HTTP/1.1", 504, L"Gateway Timeout"), 4u},
        {services::TransferFailure::HttpStatus(L"HTTP/1.1", 408, L"Request Timeout"), 4u},
        {services::TransferFailure::HttpStatus(L"HTTP/1.1", 429, L"Too Many Requests"), 4u},
        {services::TransferFailure::Socket(10061), 4u},
        {services::TransferFailure::Socket(10060), 4u},
        {kReset, 4u},
        {services::TransferFailure::HttpStatus(L"HTTP/1.1", 404, L"Not Found"), 1u},
        {services::TransferFailure::HttpStatus(L"HTTP/1.1", 401, L"Unauthorized"), 1u},
        {services::TransferFailure::HttpStatus(L"HTTP/1.1", 500, L"Internal Server Error"), 1u},
        {services::TransferFailure::Socket(11001), 1u},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        // Each case begins with the server within reach: a file has just arrived.
        const std::wstring arrived = L"dostepny" + std::to_wstring(i) + L".db";
        Serve(kTables + L"/" + arrived, {.body = "t"});
        ASSERT_TRUE(Fetch(kTables, arrived, L"", false, L"C:\\OR-Vel\\Format\\Bkp6"));
        log.clear();
        server.requests.clear();
        Serve(kTables + L"/baza1.db", {.error = c.error});
        EXPECT_FALSE(Fetch(kTables, L"baza1.db", L"", false, L"C:\\OR-Vel\\Format\\Bkp6"));
        EXPECT_EQ(server.requests.size(), c.requests) << c.error.text();
        EXPECT_EQ(messages().size(), 1u) << c.error.text();
        const std::vector<std::wstring> pauses{L"wait 1000", L"wait 3000", L"wait 9000"};
        EXPECT_EQ(log.withPrefix(L"wait "), c.requests == 1u ? std::vector<std::wstring>() : pauses) << c.error.text();
        ExpectCleanedUp();
    }
}

TEST_F(ComponentDownloadTest, AServerOutOfReachGetsOneTryPerFileUntilItAnswersAgain) {
    const std::wstring pristine = L"C:\\OR-Vel\\Format\\Bkp6";
    const std::vector<std::wstring> pauses{L"wait 1000", L"wait 3000", L"wait 9000"};
    // requests, pauses and messages of one call
    auto fetchTable = [&](const std::wstring& name, platform::host::ScriptedResponse response) {
        log.clear();
        server.requests.clear();
        Serve(kTables + L"/" + name, std::move(response));
        const bool stored = Fetch(kTables, name, L"", false, pristine);
        ExpectCleanedUp();
        return std::tuple{stored, server.requests.size(), log.withPrefix(L"wait "), messages()};
    };
    const std::vector<std::wstring> noConnection{L"message Błąd połączenia z internetem"};
    const services::TransferFailure refused = services::TransferFailure::Socket(10061);

    // The first file uses its tries; every later one is tried once, whatever
    // the failure, and still reports itself.
    EXPECT_EQ(fetchTable(L"baza1.db", {.error = refused}), std::tuple(false, 4u, pauses, noConnection));
    EXPECT_EQ(fetchTable(L"baza2.db", {.error = services::TransferFailure::Socket(10060)}),
              std::tuple(false, 1u, std::vector<std::wstring>(), noConnection));
    EXPECT_EQ(fetchTable(L"baza3.db", {.error = refused}),
              std::tuple(false, 1u, std::vector<std::wstring>(), noConnection));
    // A program file too: nothing kept for resuming came of it.
    log.clear();
    server.requests.clear();
    Serve(kPrograms + L"/Edytor3._exe", {.error = kReset});
    EXPECT_FALSE(Fetch(kPrograms, L"Edytor3", L"exe", true, L"C:\\OR-Vel"));
    EXPECT_EQ(server.requests.size(), 1u);
    EXPECT_EQ(messages(), noConnection);
    // A busy server has answered: it is within reach, and the next file gets its tries again.
    EXPECT_EQ(fetchTable(L"baza4.db", {.error = kUnavailable}),
              std::tuple(false, 1u, std::vector<std::wstring>(),
                         std::vector<std::wstring>{L"message Nieudane pobranie pliku: HTTP/1.1 503 Service Unavailable"}));
    EXPECT_EQ(fetchTable(L"baza5.db", {.body = "t5", .error = kReset, .failures = 1}),
              std::tuple(true, 2u, std::vector<std::wstring>{L"wait 1000"}, std::vector<std::wstring>()));

    // Out of reach again, then a file that arrives: the tries come back with it.
    EXPECT_EQ(fetchTable(L"baza11.db", {.error = refused}), std::tuple(false, 4u, pauses, noConnection));
    EXPECT_EQ(fetchTable(L"baza12.db", {.body = "t12"}),
              std::tuple(true, 1u, std::vector<std::wstring>(), std::vector<std::wstring>()));
    EXPECT_EQ(fetchTable(L"baza1.px", {.error = refused}), std::tuple(false, 4u, pauses, noConnection));
}

TEST_F(ComponentDownloadTest, AProgramFileCutShortGoesOnFromWhereItBrokeOff) {
    const std::string program = "MZ" + std::string(998, 'p');
    Serve(kPrograms + L"/Edytor3._exe",
          {.body = program, .error = kReset, .blockSize = 100, .failures = 1, .cutAfter = 600, .entityTag = L"\"v1\""});
    EXPECT_TRUE(Fetch(kPrograms, L"Edytor3", L"exe", true, L"C:\\OR-Vel"));
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe"), program);
    ASSERT_EQ(server.requests.size(), 2u);
    EXPECT_FALSE(server.requests[0].resumeFrom);
    ASSERT_TRUE(server.requests[1].resumeFrom);
    EXPECT_EQ(server.requests[1].resumeFrom->offset, 600);
    EXPECT_EQ(server.requests[1].resumeFrom->validator, L"\"v1\"");
    EXPECT_EQ(server.bytesSent, 1000);  // nothing fetched twice
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Edytor3.exe.part"));
    EXPECT_EQ(panel().ProgressBar1.max(), 1000);  // the bar shows the whole file
    EXPECT_TRUE(messages().empty());
}

TEST_F(ComponentDownloadTest, AChangedFileOrOneWithoutValidatorStartsOverAndTablesNeverResume) {
    const std::string program = "MZ" + std::string(98, 'n');
    // The server's file changed since: it sends the whole new body (200),
    // which takes the place of what was kept.
    Serve(kPrograms + L"/Edytor3._exe",
          {.body = program, .error = kReset, .failures = 1, .cutAfter = 40, .entityTag = L"\"v1\""});
    server.onBlock = [&] {
        if (server.bytesSent == 40) server.responses[Url(kPrograms + L"/Edytor3._exe")].entityTag = L"\"v2\"";
    };
    server.responses[Url(kPrograms + L"/Edytor3._exe")].blockSize = 10;
    EXPECT_TRUE(Fetch(kPrograms, L"Edytor3", L"exe", true, L"C:\\OR-Vel"));
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe"), program);
    ASSERT_EQ(server.requests.size(), 2u);
    EXPECT_TRUE(server.requests[1].resumeFrom);
    EXPECT_EQ(server.bytesSent, 140);  // the part, then the whole new body
    server.onBlock = nullptr;

    // Without a validator nothing is kept: the next try asks for everything.
    Serve(kPrograms + L"/Edytor4._exe", {.body = program, .error = kReset, .failures = 1, .cutAfter = 40});
    EXPECT_TRUE(Fetch(kPrograms, L"Edytor4", L"exe", true, L"C:\\OR-Vel"));
    EXPECT_FALSE(server.requests.back().resumeFrom);
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor4.exe"), program);

    // A table file is small: it is fetched whole again.
    Serve(kTables + L"/baza1.db", {.body = "table", .error = kReset, .failures = 1, .cutAfter = 2, .entityTag = L"\"t\""});
    EXPECT_TRUE(Fetch(kTables, L"baza1.db", L"", false, L"C:\\OR-Vel\\Format\\Bkp6"));
    EXPECT_FALSE(server.requests.back().resumeFrom);
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Format\\Bkp6\\baza1.db"), "table");
}

TEST_F(ComponentDownloadTest, AfterTheLastTryThePartialFileWaitsForTheNextAttemptUnlessTheUserEndsTheProgram) {
    const std::string program = "MZ" + std::string(98, 'k');
    const std::wstring partial = L"C:\\OR-Vel\\Edytor3.exe.part";
    Serve(kPrograms + L"/Edytor3._exe", {.body = program, .error = kReset, .blockSize = 10, .failures = 4,
                                         .cutAfter = 10, .entityTag = L"\"k\""});
    EXPECT_FALSE(Fetch(kPrograms, L"Edytor3", L"exe", true, L"C:\\OR-Vel"));
    EXPECT_EQ(messages(), std::vector<std::wstring>{L"message Błąd połączenia z internetem"});
    EXPECT_EQ(platform.files().ReadFile(partial), program.substr(0, 40));  // 10 bytes from each of four tries
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Edytor3.exe"));
    // The user tries again: the download goes on from there.
    EXPECT_TRUE(Fetch(kPrograms, L"Edytor3", L"exe", true, L"C:\\OR-Vel"));
    EXPECT_EQ(server.requests.back().resumeFrom->offset, 40);
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe"), program);

    // Ended by the user during the pause before a retry: nothing is kept.
    Serve(kPrograms + L"/Edytor3._exe", {.body = program, .error = kReset, .blockSize = 10, .failures = 1,
                                         .cutAfter = 10, .entityTag = L"\"k\""});
    // The click comes with the second pump: the first is the one block's.
    server.onBlock = [&] {
        toolkit.pendingMessages.push_back(
            [&] { toolkit.pendingMessages.push_back([&] { panel().BBClose.click(); }); });
    };
    EXPECT_THROW(Fetch(kPrograms, L"Edytor3", L"exe", true, L"C:\\OR-Vel"), services::BrokenOff);
    EXPECT_FALSE(platform.FileExists(partial));
}

// The user's answer in the proxy's sign-in window; the windows seen are counted.
struct ProxySignInAnswer {
    std::wstring username;
    std::wstring password;
    bool ok = true;
    int shown = 0;
    std::vector<std::wstring> texts;

    void operator()(ui::Form& form) {
        auto& dialog = dynamic_cast<notice::TFormProxy&>(form);
        ++shown;
        texts = {dialog.caption(), dialog.LabelTitle.caption(), dialog.LabelProxy.caption(),
                 dialog.LabelUser.caption(), dialog.LabelPassword.caption(), dialog.BOk.caption(),
                 dialog.BCancel.caption()};
        EXPECT_TRUE(dialog.EditPassword.password());
        dialog.EditUser.setText(username);
        dialog.EditPassword.setText(password);
        (ok ? dialog.BOk : dialog.BCancel).click();
    }
};

TEST_F(ComponentDownloadTest, AProxyAsksOnceForItsUserAndKeepsItsCredentialsApartFromTheServers) {
    server.proxyUser = services::ProxyCredentials{L"anna", L"tajne"};
    ProxySignInAnswer answer{L"anna", L"tajne"};
    toolkit.onModal = [&](ui::Form& form) { answer(form); };
    Serve(kPrograms + L"/Edytor3._exe", {.body = "MZ program"});
    Serve(kTables + L"/baza1.db", {.body = "table"});
    EXPECT_TRUE(Fetch(kPrograms, L"Edytor3", L"exe", true, L"C:\\OR-Vel"));
    EXPECT_TRUE(Fetch(kTables, L"baza1.db", L"", false, L"C:\\OR-Vel\\Format\\Bkp6"));
    EXPECT_EQ(answer.shown, 1);
    EXPECT_EQ(answer.texts, (std::vector<std::wstring>{L"Serwer proxy wymaga logowania", L"Serwer proxy wymaga logowania",
                                                       L"Serwer proxy: proxy.firma.pl:3128", L"Użytkownik:",
                                                       L"Hasło:", L"&Ok", L"&Anuluj"}));
    ASSERT_EQ(server.requests.size(), 2u);
    for (const auto& request : server.requests) {
        ASSERT_TRUE(request.proxyCredentials);
        EXPECT_EQ(request.proxyCredentials->username, L"anna");
    }
    EXPECT_EQ(server.requests[0].username, L"kanvel8");  // the server's own, beside
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor3.exe"), "MZ program");
    EXPECT_TRUE(messages().empty());
}

// A user name and password typed for one proxy are that proxy's: another
// proxy (a script may name one for some addresses) is asked for its own,
// the dialog naming it, and never gets the first one's.
TEST_F(ComponentDownloadTest, EachProxyIsAskedForItsOwnAnswerAndNeverGetsAnothersAnswer) {
    server.proxyUser = services::ProxyCredentials{L"anna", L"tajne"};
    server.proxiesByUrl[Url(kTables)] = {L"Inny.Proxy.pl:8080", {L"jan", L"haslo"}};
    std::vector<std::wstring> proxiesShown;
    toolkit.onModal = [&](ui::Form& form) {
        auto& dialog = dynamic_cast<notice::TFormProxy&>(form);
        proxiesShown.push_back(dialog.LabelProxy.caption());
        const bool first = proxiesShown.size() == 1;
        dialog.EditUser.setText(first ? L"anna" : L"jan");
        dialog.EditPassword.setText(first ? L"tajne" : L"haslo");
        dialog.BOk.click();
    };
    Serve(kPrograms + L"/Edytor3._exe", {.body = "MZ program"});
    Serve(kPrograms + L"/Edytor2._exe", {.body = "MZ program 2"});
    Serve(kTables + L"/baza1.db", {.body = "table"});
    EXPECT_TRUE(Fetch(kPrograms, L"Edytor3", L"exe", true, L"C:\\OR-Vel"));
    EXPECT_TRUE(Fetch(kTables, L"baza1.db", L"", false, L"C:\\OR-Vel\\Format\\Bkp6"));
    EXPECT_TRUE(Fetch(kPrograms, L"Edytor2", L"exe", true, L"C:\\OR-Vel"));
    EXPECT_EQ(proxiesShown,
              (std::vector<std::wstring>{L"Serwer proxy: proxy.firma.pl:3128", L"Serwer proxy: Inny.Proxy.pl:8080"}));
    ASSERT_EQ(server.requests.size(), 3u);
    const std::vector<std::pair<std::wstring, std::wstring>> sent = {
        {L"proxy.firma.pl:3128", L"anna"}, {L"Inny.Proxy.pl:8080", L"jan"}, {L"proxy.firma.pl:3128", L"anna"}};
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(server.requests[i].proxy, sent[i].first);
        ASSERT_TRUE(server.requests[i].proxyCredentials);
        EXPECT_EQ(server.requests[i].proxyCredentials->username, sent[i].second);
    }
    EXPECT_TRUE(messages().empty());
}

// A refused answer is forgotten for its proxy alone: the other proxy keeps
// its own, and the refusing one asks again.
TEST(ProxySignIns, ARefusedAnswerIsForgottenForItsProxyOnly) {
    services::ProxySignIns signIns;
    int asked = 0;
    const auto answer = [&](const std::wstring& proxy) {
        ++asked;
        return std::optional<services::ProxyCredentials>({proxy == L"a:1" ? L"anna" : L"jan", L"x"});
    };
    ASSERT_TRUE(signIns.AskFor(L"a:1", answer));
    ASSERT_TRUE(signIns.AskFor(L"B:2", answer));
    EXPECT_TRUE(signIns.AskFor(L"A:1", answer));  // letter case aside, the same proxy: not asked again
    EXPECT_EQ(asked, 2);
    signIns.Refused(L"a:1");
    EXPECT_FALSE(signIns.AnswerFor(L"a:1"));
    ASSERT_TRUE(signIns.AnswerFor(L"b:2"));
    EXPECT_EQ(signIns.AnswerFor(L"b:2")->username, L"jan");
    EXPECT_TRUE(signIns.AskFor(L"a:1", answer));
    EXPECT_EQ(asked, 3);
    // Declined: that proxy is not asked again until it refuses something.
    EXPECT_FALSE(signIns.AskFor(L"c:3", [&](const std::wstring&) { return std::optional<services::ProxyCredentials>(); }));
    EXPECT_FALSE(signIns.AskFor(L"c:3", answer));
    EXPECT_EQ(asked, 3);
}

TEST_F(ComponentDownloadTest, AWrongPasswordOrNoAnswerFailsClearlyAtOnceAndStoresNothing) {
    server.proxyUser = services::ProxyCredentials{L"anna", L"tajne"};
    ProxySignInAnswer answer{L"anna", L"zle"};
    toolkit.onModal = [&](ui::Form& form) { answer(form); };
    Serve(kEngine + L"/setup._exe", {.body = "MZ setup"});
    platform.files().MakeFolders(L"C:\\OR-Vel\\Sterowniki\\BDE");
    EXPECT_FALSE(Fetch(kEngine, L"setup", L"exe", false, L"C:\\OR-Vel\\Sterowniki\\BDE"));
    EXPECT_EQ(messages(), std::vector<std::wstring>{
                              L"message Nieudane pobranie pliku: serwer proxy nie przyjął nazwy użytkownika lub hasła"});
    EXPECT_EQ(server.requests.size(), 1u);  // not tried again
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Sterowniki\\BDE\\setup.exe"));
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Sterowniki\\BDE\\setup.exe.part"));

    // Refused credentials are forgotten: the next download asks again. Declined, it is not asked again.
    log.clear();
    answer.ok = false;
    EXPECT_FALSE(Fetch(kEngine, L"setup", L"exe", false, L"C:\\OR-Vel\\Sterowniki\\BDE"));
    EXPECT_FALSE(Fetch(kEngine, L"setup", L"exe", false, L"C:\\OR-Vel\\Sterowniki\\BDE"));
    EXPECT_EQ(answer.shown, 2);
    EXPECT_EQ(messages(), (std::vector<std::wstring>{L"message Nieudane pobranie pliku: serwer proxy wymaga logowania",
                                                     L"message Nieudane pobranie pliku: serwer proxy wymaga logowania"}));
}
}  // namespace
}  // namespace kanvel::testing
