#include <atomic>
#include <chrono>
#include <future>

#include "InstallerHarness.h"
#include "TestSignatures.h"
#include "services/trust/PublisherList.h"

namespace kanvel::testing {
namespace {

using services::PublisherList;

TEST(PublisherList, ReadsSha256ValuesAsCertificateToolsPrintThem) {
    const std::wstring plain = L"299603bcaf39f996e8b4cf5b01ff7b889a75f9f1411cdf5978a53e05ded02cd6";
    services::Sha256 digest{};
    for (std::size_t i = 0; i < digest.size(); ++i)
        digest[i] = static_cast<std::uint8_t>(std::stoi(std::wstring(plain.substr(i * 2, 2)), nullptr, 16));
    const std::wstring printed =
        L"29:96:03:BC:AF:39:F9:96:E8:B4:CF:5B:01:FF:7B:88:9A:75:F9:F1:41:1C:DF:59:78:A5:3E:05:DE:D0:2C:D6";
    const std::wstring spaced = L"  2996 03bc AF39 f996\te8b4cf5b01ff7b889a75f9f1411cdf5978a53e05ded02cd6 ";
    for (const std::wstring& text : {plain, printed, spaced}) {
        const auto list = PublisherList::Parse(text);
        ASSERT_TRUE(list) << platform::host::ToUtf8(text);
        EXPECT_TRUE(list->Contains(digest));
        EXPECT_FALSE(list->Contains(TestSignatures::Maker()));
    }
    // Several, for a renewed certificate; blank values between are skipped.
    const auto both = PublisherList::Parse(std::wstring(64, L'1') + L"; ;" + plain + L";");
    ASSERT_TRUE(both);
    EXPECT_TRUE(both->Contains(TestSignatures::Maker()));
    EXPECT_TRUE(both->Contains(digest));
    EXPECT_TRUE(PublisherList::Parse(L"")->empty());
    EXPECT_TRUE(PublisherList::Parse(L" ; ")->empty());
}

TEST(PublisherList, RefusesWhatIsNotASha256Value) {
    for (const std::wstring& text : {std::wstring(63, L'a'), std::wstring(65, L'a'), std::wstring(63, L'a') + L"g",
                                     std::wstring(64, L'a') + L";abc", std::wstring(64, L'a') + L",b",
                                     std::wstring(32, L'a') + L"-" + std::wstring(32, L'a')})
        EXPECT_FALSE(PublisherList::Parse(text)) << platform::host::ToUtf8(text);
}

// Windows must accept the signature and its chain, the signer must be one the
// build names, and its certificate valid when the signature is judged.
TEST(ProgramVerification, OnlyTheMakersValidSignatureIsAccepted) {
    const auto verification = TestSignatures::MakersBuild();
    ASSERT_TRUE(verification.Required());
    EXPECT_TRUE(verification.Accepts(TestSignatures::Of(TestSignatures::kByMaker)));
    EXPECT_TRUE(verification.Accepts(TestSignatures::Of(TestSignatures::kByRenewedMaker)));
    for (const char* refused : {"MZ unsigned", TestSignatures::kBySomeoneElse, TestSignatures::kChangedAfterSigning,
                                TestSignatures::kUntrustedChain, TestSignatures::kExpiredOnWindows,
                                TestSignatures::kExpiredOnWine})
        EXPECT_FALSE(verification.Accepts(TestSignatures::Of(refused))) << refused;
    // A malformed publisher (should one pass the configure) starts nothing.
    const auto nothing = services::ProgramVerification::AcceptingNothing();
    EXPECT_TRUE(nothing.Required());
    EXPECT_FALSE(nothing.Accepts(TestSignatures::Of(TestSignatures::kByMaker)));
}

class SignedDownloadTest : public InstallerTest {
protected:
    void SetUp() override {
        verification = TestSignatures::MakersBuild();
        platform.signatures = TestSignatures::Of;
        StartUp();
        platform.files().MakeFolders(L"C:\\OR-Vel\\Sterowniki\\BDE");
        platform.files().MakeFolders(L"C:\\OR-Vel\\Format\\Bkp6");
    }
    bool FetchEngine() { return panel().PobraniePliku(L"sterowniki/bde", L"setup", L"exe", true, kEngineFolder); }
    void ServeEngine(std::string body) { server.responses[Url(L"sterowniki/bde/setup._exe")] = {.body = std::move(body)}; }
    std::vector<std::wstring> messages() const { return log.withPrefix(L"message "); }

    const std::wstring kEngineFolder = L"C:\\OR-Vel\\Sterowniki\\BDE";
    const std::wstring kEngine = kEngineFolder + L"\\setup.exe";
};

// A program file is judged while it is the partial file: one that is not the
// maker's never takes the old file's place and leaves nothing behind.
TEST_F(SignedDownloadTest, ProgramFilesNotSignedByTheMakerAreDiscardedLikeAFailedDownload) {
    platform.files().WriteFile(kEngine, TestSignatures::kByMaker + std::string(" (older)"));
    for (const char* body : {"MZ unsigned", TestSignatures::kBySomeoneElse, TestSignatures::kChangedAfterSigning,
                             TestSignatures::kExpiredOnWine}) {
        SCOPED_TRACE(body);
        log.clear();
        ServeEngine(body);
        EXPECT_FALSE(FetchEngine());
        EXPECT_EQ(messages(), std::vector<std::wstring>{
                                  L"message Nieudane pobranie pliku: plik nie ma ważnego podpisu cyfrowego producenta"});
        EXPECT_EQ(platform.files().ReadFile(kEngine), TestSignatures::kByMaker + std::string(" (older)"));
        EXPECT_FALSE(platform.FileExists(kEngine + L".part"));
        ASSERT_FALSE(installer->recorder().installation().failedDownloads.empty());
        EXPECT_EQ(installer->recorder().installation().failedDownloads.back().failure, services::FetchOutcome::Failure::Signature);
    }
    ServeEngine(TestSignatures::kByRenewedMaker);
    EXPECT_TRUE(FetchEngine());
    EXPECT_EQ(platform.files().ReadFile(kEngine), TestSignatures::kByRenewedMaker);
}

TEST_F(SignedDownloadTest, TablesAreNotProgramsAndABuildWithoutPublisherChecksNothing) {
    server.responses[Url(L"programy/wersja7/bkp6/baza1.db")] = {.body = "table, never signed"};
    EXPECT_TRUE(panel().PobraniePliku(L"programy/wersja7/bkp6", L"baza1.db", L"", false, L"C:\\OR-Vel\\Format\\Bkp6"));

    services::ProgramVerification unverified{services::PublisherList()};
    services::ComponentDownload download(platform, main().HttpClient(), panel(), unverified);
    ServeEngine("MZ unsigned");
    EXPECT_TRUE(download.Fetch(L"sterowniki/bde", L"setup", L"exe", true, kEngineFolder).stored());
    EXPECT_EQ(platform.files().ReadFile(kEngine), "MZ unsigned");
}

class SignedStartTest : public InstallerTest {
protected:
    void SetUp() override {
        verification = TestSignatures::MakersBuild();
        platform.signatures = TestSignatures::Of;
        StartUpAcceptedWith(0);  // Koordynator, Edytor3
        server.responses[Url(L"programy/wersja7/poprawki/Edytor3._exe")] = {.body = TestSignatures::kByMaker};
    }
    std::vector<std::wstring> started() const { return log.withPrefix(L"start "); }
    const std::wstring kProgram = L"C:\\OR-Vel\\Edytor3.exe";
    const std::wstring kEngine = L"C:\\OR-Vel\\Sterowniki\\BDE\\setup.exe";
};

// "Uruchom" checks the program file again right before starting it: a file
// changed since it was fetched is not started, and the installer stays open.
TEST_F(SignedStartTest, RunStartsTheProgramOnlyWhileItIsStillTheMakers) {
    panel().BBInstal.click();
    ASSERT_TRUE(main().PanelKoniec.visible());
    platform.files().WriteFile(kProgram, "MZ replaced after the download");
    panel().BBInstal.click();
    EXPECT_TRUE(started().empty());
    EXPECT_EQ(notices.back(), L"Plik \"" + kProgram +
                                  L"\" nie ma ważnego podpisu cyfrowego producenta i nie zostanie uruchomiony.");
    EXPECT_FALSE(main().closed());

    platform.files().WriteFile(kProgram, TestSignatures::kByMaker);
    panel().BBInstal.click();
    EXPECT_EQ(started(), std::vector<std::wstring>{L"start signed-in user|" + kProgram + L"|"});
    EXPECT_TRUE(main().closed());
}

// The program file is held from its check until it has been started: while
// its signature is read and while it starts, it can be neither replaced nor
// deleted; afterwards it is let go.
TEST_F(SignedStartTest, TheProgramCannotBeSwappedBetweenItsCheckAndItsStart) {
    panel().BBInstal.click();
    ASSERT_TRUE(main().PanelKoniec.visible());
    const std::wstring other = L"C:\\Inne\\Edytor3.exe";
    platform.files().WriteFile(other, "MZ someone else's");
    std::vector<std::wstring> changes;
    auto tryToChange = [&](const wchar_t* when) {
        if (platform.CopyFileTo(other, kProgram, false)) changes.push_back(std::wstring(L"replaced ") + when);
        if (platform.DeleteFileAt(kProgram)) changes.push_back(std::wstring(L"deleted ") + when);
    };
    platform.signatures = [&](const std::string& bytes) {
        tryToChange(L"while checked");
        return TestSignatures::Of(bytes);
    };
    platform.whenStarting = [&](const std::wstring&) { tryToChange(L"while started"); };
    log.clear();
    panel().BBInstal.click();
    EXPECT_TRUE(changes.empty()) << platform::host::ToUtf8(changes.front());
    // One hold, from before the check until after the start.
    std::vector<std::wstring> holding;
    for (const auto& event : log.entries())
        if (event.starts_with(L"held ") || event.starts_with(L"let go ") || event.starts_with(L"start "))
            holding.push_back(event);
    EXPECT_EQ(holding, (std::vector<std::wstring>{L"held " + kProgram, L"start signed-in user|" + kProgram + L"|",
                                                  L"let go " + kProgram}));
    EXPECT_EQ(platform.files().ReadFile(kProgram), TestSignatures::kByMaker);
    EXPECT_TRUE(platform.DeleteFileAt(kProgram));
}

// A program that was the maker's but could not be started: the installer
// says so and stays open.
TEST_F(SignedStartTest, AProgramThatCouldNotBeStartedIsNamed) {
    panel().BBInstal.click();
    platform.startsSucceed = false;
    panel().BBInstal.click();
    EXPECT_EQ(notices.back(), L"Nie udało się uruchomić programu: " + kProgram);
    EXPECT_FALSE(main().closed());
}

// The update program beside the installer is copied into the installation
// only when it is the maker's; otherwise the message log says why.
TEST_F(SignedStartTest, AnUpdateProgramNotSignedByTheMakerIsNotCopied) {
    const std::wstring update = L"C:\\Instal\\Program\\Aktualizacja.exe";
    platform.files().WriteFile(update, "MZ unsigned update");
    panel().BBInstal.click();
    ASSERT_TRUE(main().PanelKoniec.visible());
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Aktualizacja.exe"));
    ASSERT_FALSE(notices.empty());
    EXPECT_EQ(notices.back(), L"nie ma ważnego podpisu cyfrowego producenta");
    const std::string messageLog = platform.files().ReadFile(L"C:\\Instal\\Komunikaty.err");
    EXPECT_NE(messageLog.find("Program aktualizacji"), std::string::npos);
    EXPECT_NE(messageLog.find("C:\\Instal\\Program\\Aktualizacja.exe"), std::string::npos);

    platform.files().WriteFile(update, TestSignatures::kByMaker);
    panel().ZakonczenieInstalacji();
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Aktualizacja.exe"), TestSignatures::kByMaker);
}

// The engine step checks the installer it is about to start, whether fetched
// now, left from an earlier run or picked by the user.
TEST_F(SignedStartTest, EngineInstallerThatIsNotTheMakersIsNotStarted) {
    platform.files().WriteFile(kEngine, "MZ unsigned, left from an earlier run");
    panel().CBParadox.setChecked(true);
    panel().BBInstal.click();
    EXPECT_TRUE(started().empty());
    EXPECT_NE(std::find(notices.begin(), notices.end(),
                        L"Plik \"" + kEngine +
                            L"\" nie ma ważnego podpisu cyfrowego producenta i nie zostanie uruchomiony."),
              notices.end());
    EXPECT_EQ(installer->recorder().installation().engine, install::InstallReport::EngineStep::SignatureRefused);
    EXPECT_TRUE(main().PanelKoniec.visible());  // the program step still ran
}

// Windows' signature check of a program that fetches revocation lists
// online: it takes until the test lets it go. It gives up waiting after
// kLongestCheck, so that an installer reading it on the window's thread
// (where the release can never come) fails the test instead of hanging it.
class RevocationListsFetched {
public:
    static constexpr auto kLongestCheck = std::chrono::seconds(20);

    services::FileSignature Read(const std::string& bytes) {
        reading_ = true;
        released_.wait_for(kLongestCheck);
        reading_ = false;
        return TestSignatures::Of(bytes);
    }
    bool reading() const { return reading_; }
    void Release() {
        if (!releasedOnce_.exchange(true)) release_.set_value();
    }

private:
    std::atomic<bool> reading_ = false;
    std::atomic<bool> releasedOnce_ = false;
    std::promise<void> release_;
    std::shared_future<void> released_ = release_.get_future().share();
};

// Something for the window to handle (a repaint, a click) that keeps
// arriving until the check has begun; then it is handled while the check
// runs, or, when the check ran on the window's thread, only after it.
class MessageDuringCheck {
public:
    MessageDuringCheck(platform::host::HeadlessToolkit& toolkit, RevocationListsFetched& check,
                       std::function<void()> handle)
        : toolkit_(toolkit), check_(check), handle_(std::move(handle)) {
        post();
    }
    std::optional<bool> handledWhileChecking;

private:
    void post() {
        toolkit_.pendingMessages.push_back([this] {
            if (handledWhileChecking) return;
            if (!check_.reading() && !checkBegun_) {
                post();
                return;
            }
            checkBegun_ = true;
            handledWhileChecking = check_.reading();
            handle_();
            check_.Release();
        });
    }
    platform::host::HeadlessToolkit& toolkit_;
    RevocationListsFetched& check_;
    std::function<void()> handle_;
    bool checkBegun_ = false;
};

// A program file that arrived is checked off the window's thread: while
// Windows fetches revocation lists, the window handles what comes, and the
// file is stored once the check has accepted it.
TEST_F(SignedDownloadTest, TheWindowAnswersWhileAFetchedProgramsSignatureIsChecked) {
    RevocationListsFetched check;
    platform.signatures = [&](const std::string& bytes) { return check.Read(bytes); };
    ServeEngine(TestSignatures::kByMaker);
    int progressSeen = -1;
    MessageDuringCheck repaint(toolkit, check, [&] { progressSeen = panel().ProgressBar1.position(); });
    EXPECT_TRUE(FetchEngine());
    EXPECT_EQ(repaint.handledWhileChecking, std::optional<bool>(true));
    EXPECT_EQ(progressSeen, static_cast<int>(std::string(TestSignatures::kByMaker).size()));
    EXPECT_EQ(platform.files().ReadFile(kEngine), TestSignatures::kByMaker);
}

// "Uruchom" checks the program off the window's thread too: the window
// answers meanwhile, and the program starts once the check has accepted it.
TEST_F(SignedStartTest, TheWindowAnswersWhileAProgramIsCheckedBeforeItsStart) {
    panel().BBInstal.click();
    ASSERT_TRUE(main().PanelKoniec.visible());
    RevocationListsFetched check;
    platform.signatures = [&](const std::string& bytes) { return check.Read(bytes); };
    MessageDuringCheck repaint(toolkit, check, [] {});
    panel().BBInstal.click();
    EXPECT_EQ(repaint.handledWhileChecking, std::optional<bool>(true));
    EXPECT_EQ(started(), std::vector<std::wstring>{L"start signed-in user|" + kProgram + L"|"});
}

// A user who closes the window while the program is checked starts nothing,
// though the check accepts the file afterwards; the file is let go once
// the check has ended.
TEST_F(SignedStartTest, ClosingTheWindowDuringTheCheckStartsNothing) {
    panel().BBInstal.click();
    ASSERT_TRUE(main().PanelKoniec.visible());
    RevocationListsFetched check;
    platform.signatures = [&](const std::string& bytes) { return check.Read(bytes); };
    MessageDuringCheck close(toolkit, check, [&] { panel().BBClose.click(); });
    log.clear();
    EXPECT_THROW(panel().BBInstal.click(), services::BrokenOff);
    EXPECT_EQ(close.handledWhileChecking, std::optional<bool>(true));
    EXPECT_TRUE(main().closed());
    EXPECT_TRUE(started().empty());
    EXPECT_EQ(log.withPrefix(L"let go "), std::vector<std::wstring>{L"let go " + kProgram});
}

}  // namespace
}  // namespace kanvel::testing
