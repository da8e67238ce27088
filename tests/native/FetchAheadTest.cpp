// The table files requested several at a time: what the user sees, the
// messages, where a run stops and what the folder holds afterwards are
// exactly those of a run that fetches one file after another.
#include <map>

#include "InstallerHarness.h"
#include "pages/install/DatabaseFileSets.h"
#include "services/download/FetchAhead.h"

namespace kanvel::testing {
namespace {

// What the user sees of the downloads: the status line, the bar reaching
// full and going back to empty (the steps in between depend only on how the
// bytes happened to arrive).
class SeenPeer : public ui::Peer {
public:
    SeenPeer(ui::Control& control, std::vector<std::wstring>& seen, std::function<void()> onCaption = {})
        : control_(control), seen_(seen), onCaption_(std::move(onCaption)) {}
    void PropertyChanged(ui::Property what) override {
        if (what == ui::Property::Caption) {
            seen_.push_back(L"status " + control_.caption());
            if (onCaption_) onCaption_();
        }
        auto* bar = dynamic_cast<ui::ProgressBar*>(&control_);
        if (bar && what == ui::Property::Position && (bar->position() == 0 || bar->position() == bar->max()))
            seen_.push_back(bar->position() == 0 ? L"bar empty" : L"bar full");
    }

private:
    ui::Control& control_;
    std::vector<std::wstring>& seen_;
    std::function<void()> onCaption_;
};

struct RunSeen {
    std::vector<std::wstring> seen;                // status lines, bar, messages, notices in order
    std::map<std::wstring, std::string> pristine;  // the pristine folder afterwards, partial files included
    std::vector<std::wstring> requested;
    bool closed = false;
};

// One database run on a fresh installation with the server's answers given.
class DatabaseRun : public InstallerTest {
public:
    void TestBody() override {}
    using InstallerTest::platform;
    using InstallerTest::server;
    using InstallerTest::StartUpAcceptedWith;

    static std::wstring Table(const std::wstring& name) { return Url(L"programy/wersja7/bkp6/" + name); }

    RunSeen Run(bool sideBySide, const std::function<void(DatabaseRun&)>& arrange) {
        StartUpAcceptedWith(0);
        toolkit.onModal = [this](ui::Form& form) {
            result_.seen.push_back(L"notice " + dynamic_cast<notice::TFormQst&>(form).Label1.caption());
        };
        for (const auto* set : {&install::kStatementSet, &install::kDataSet, &install::kConfigurationSet})
            for (const auto slot : set->slots)
                if (!slot.empty())
                    server.responses[Table(std::wstring(slot))] = {
                        .body = "tabela " + platform::host::ToUtf8(std::wstring(slot)), .blockSize = 3};
        server.answersOutOfOrder = sideBySide;
        arrange(*this);
        main().LabelInfo.attachPeer(std::make_unique<SeenPeer>(main().LabelInfo, result_.seen, [this] {
            if (!closeAt_.empty() && main().LabelInfo.caption() == L"Pobranie pliku: " + closeAt_)
                toolkit.pendingMessages.push_back([this] { panel().BBClose.click(); });
        }));
        panel().ProgressBar1.attachPeer(std::make_unique<SeenPeer>(panel().ProgressBar1, result_.seen));
        application->guarded([&] { panel().BBBaza.click(); });
        for (const auto& message : log.withPrefix(L"message ")) result_.seen.push_back(message);
        ReadPristineFolder();
        for (const auto& request : server.requests) result_.requested.push_back(request.url);
        result_.closed = main().closed();
        return result_;
    }

    // "Zamknij" as soon as the status line names the file.
    void CloseWhenShown(const std::wstring& name) { closeAt_ = name; }

private:
    void ReadPristineFolder() {
        const auto folder = platform.files().ToHost(L"C:\\OR-Vel\\Format\\Bkp6");
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            result_.pristine[entry.path().filename().wstring()] =
                platform.files().ReadFile(L"C:\\OR-Vel\\Format\\Bkp6\\" + entry.path().filename().wstring());
    }

    RunSeen result_;
    std::wstring closeAt_;
};

// The messages are interleaved with the view's events in time; both runs
// collect them the same way, so the lists compare as they stand.
void ExpectSameRun(const RunSeen& oneAtATime, const RunSeen& sideBySide) {
    EXPECT_EQ(sideBySide.seen, oneAtATime.seen);
    EXPECT_EQ(sideBySide.pristine, oneAtATime.pristine);
    EXPECT_EQ(sideBySide.closed, oneAtATime.closed);
}

RunSeen RunBoth(bool sideBySide, const std::function<void(DatabaseRun&)>& arrange) {
    DatabaseRun run;
    return run.Run(sideBySide, arrange);
}

TEST(FetchAheadTest, EveryTableMissingIsShownAndStoredAsOneAtATime) {
    const auto arrange = [](DatabaseRun&) {};
    const RunSeen before = RunBoth(false, arrange);
    const RunSeen after = RunBoth(true, arrange);
    ExpectSameRun(before, after);
    EXPECT_EQ(after.requested,
              before.requested);  // each table asked for once, in the same order
    EXPECT_EQ(after.pristine.size(), 73u);
    EXPECT_EQ(std::count(after.seen.begin(), after.seen.end(), L"bar full"), 73);
}

TEST(FetchAheadTest, FailedTablesReportInTheirTurnAndTheRestComeOneAtATime) {
    const auto arrange = [](DatabaseRun& run) {
        // Already there: neither asked for nor shown.
        for (const wchar_t* name : {L"baza2.db", L"baza11.db", L"config.db"})
            run.platform.files().WriteFile(std::wstring(L"C:\\OR-Vel\\Format\\Bkp6\\") + name, "pristine");
        run.server.responses.erase(DatabaseRun::Table(L"baza12.px"));            // 404 in the middle of the data set
        run.server.responses[DatabaseRun::Table(L"baza3.val")].announced = 999;  // cut off
        run.server.responses[DatabaseRun::Table(L"config22.db")].error =
            services::TransferFailure::Socket(10054);
    };
    const RunSeen before = RunBoth(false, arrange);
    const RunSeen after = RunBoth(true, arrange);
    ExpectSameRun(before, after);
    EXPECT_EQ(std::count_if(after.seen.begin(), after.seen.end(),
                            [](const std::wstring& s) { return s.rfind(L"message ", 0) == 0; }),
              3);
    EXPECT_FALSE(after.pristine.contains(L"baza12.px"));
    EXPECT_TRUE(after.pristine.contains(L"baza41.db"));
    // The data set's copy then stops at the missing table, in both runs alike.
    EXPECT_EQ(after.seen.back().rfind(L"message ", 0), 0u);
}

TEST(FetchAheadTest, ClosingTheWindowEndsTheRunAtTheSameFileWithNoPartialFileLeft) {
    const auto arrange = [](DatabaseRun& run) { run.CloseWhenShown(L"baza5.px"); };
    const RunSeen before = RunBoth(false, arrange);
    const RunSeen after = RunBoth(true, arrange);
    ExpectSameRun(before, after);
    EXPECT_TRUE(after.closed);
    EXPECT_TRUE(after.pristine.contains(L"baza4.px"));
    EXPECT_FALSE(after.pristine.contains(L"baza5.px"));
    for (const auto& [name, content] : after.pristine) EXPECT_EQ(name.find(L".part"), std::wstring::npos) << name;
}

TEST(FetchAheadTest, AtMostTheLimitIsAheadAndOutOfOrderDropsEveryPartialFile) {
    DatabaseRun run;
    run.StartUpAcceptedWith(0);
    run.server.answersOutOfOrder = true;
    platform::host::ScriptedHttpClient client(run.server);
    services::FetchAhead ahead(run.platform, run.platform, client);
    std::vector<services::FetchAhead::PlannedFile> planned;
    const int count = static_cast<int>(services::FetchAhead::kMostFilesAhead) + 4;
    for (int i = 0; i < count; ++i)
        planned.push_back({L"https://s/" + std::to_wstring(i), L"C:\\OR-Vel\\t" + std::to_wstring(i)});
    run.platform.MakeDirectory(L"C:\\OR-Vel");
    ahead.Plan(planned);
    EXPECT_EQ(run.server.requests.size(), services::FetchAhead::kMostFilesAhead);
    ASSERT_TRUE(ahead.Take(planned[0].url, planned[0].localPath));
    EXPECT_EQ(run.server.requests.size(), services::FetchAhead::kMostFilesAhead + 1);
    EXPECT_TRUE(run.platform.FileExists(planned[5].localPath + L".part"));
    // Out of order: the plan is dropped, every partial file with it.
    EXPECT_FALSE(ahead.Take(planned[3].url, planned[3].localPath));
    for (int i = 1; i < count; ++i) EXPECT_FALSE(run.platform.FileExists(planned[i].localPath + L".part")) << i;
}

}  // namespace
}  // namespace kanvel::testing
