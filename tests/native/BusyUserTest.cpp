// A user who does not sit still: clicks delivered by the message pump while
// a file arrives, the window closed in the middle of a download.
#include "InstallerHarness.h"
#include "pages/install/DatabaseFileSets.h"
#include "ui/PressTarget.h"

namespace kanvel::testing {
namespace {

class BusyUserTest : public InstallerTest {
protected:
    void SetUp() override { StartUpAcceptedWith(2); }  // Administrator, Edytor2

    void Serve(const std::wstring& path, std::string body) {
        server.responses[Url(path)] = {.body = std::move(body), .blockSize = 2};
    }
    // Queues a user's action for the next message pump.
    void WhileWorking(std::function<void()> action) { toolkit.pendingMessages.push_back(std::move(action)); }
    std::vector<ui::Control*> choosingControls() {
        auto& p = panel();
        return {&p.RGKanvel, &p.SBPrzegladaj, &p.Edit1, &p.CBProgram, &p.CBBaza, &p.CBParadox, &p.CBSkrotPulpit,
                &p.CBSkrotMenuStart, &p.BBProgram, &p.BBBaza, &p.BBParadox, &p.BBInstal, &p.BBDeinstal, &p.BBWstecz};
    }
    bool anyUsable() {
        for (ui::Control* control : choosingControls())
            if (control->usable()) return true;
        return false;
    }
    std::vector<std::wstring> requested() const {
        std::vector<std::wstring> urls;
        for (const auto& request : server.requests) urls.push_back(request.url);
        return urls;
    }
};

TEST_F(BusyUserTest, TheEditionChosenWhileTheProgramArrivesChangesNothingOfTheRun) {
    Serve(L"programy/wersja7/poprawki/Edytor2._exe", "MZ administrator");
    Serve(L"programy/wersja7/poprawki/Edytor3._exe", "MZ koordynator");
    bool lockedBeforeTheRequest = false;
    bool lockedDuringTheBody = false;
    // Just before the request, and again while the body arrives, the user
    // picks another edition (the choice gets through as if nothing stopped it).
    WhileWorking([&] {
        lockedBeforeTheRequest = !anyUsable();
        panel().RGKanvel.choose(0);
    });
    server.onBlock = [&] {
        if (!server.onBlock) return;
        server.onBlock = nullptr;
        WhileWorking([&] {
            lockedDuringTheBody = !anyUsable();
            panel().RGKanvel.choose(0);
        });
    };
    const auto usableBefore = [&] {
        std::vector<bool> states;
        for (ui::Control* control : choosingControls()) states.push_back(control->usable());
        return states;
    }();
    panel().BBProgram.click();

    EXPECT_TRUE(lockedBeforeTheRequest);
    EXPECT_TRUE(lockedDuringTheBody);
    EXPECT_EQ(requested(), std::vector<std::wstring>{Url(L"programy/wersja7/poprawki/Edytor2._exe")});
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor2.exe"), "MZ administrator");
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Edytor3.exe"));
    // The mark names the edition whose file was fetched.
    EXPECT_EQ(panel().BBProgram.tag(), 2);
    // Once the run is over, every control acts again as it did before.
    for (std::size_t i = 0; i < choosingControls().size(); ++i)
        EXPECT_EQ(choosingControls()[i]->usable(), usableBefore[i]) << choosingControls()[i]->name();
}

TEST_F(BusyUserTest, ClosingTheWindowDuringADownloadEndsTheRunThere) {
    platform.files().WriteFile(L"C:\\Instal\\Program\\Aktualizacja.exe", "update");
    platform.files().WriteFile(L"C:\\OR-Vel\\Edytor2.exe", "old program");
    Serve(L"programy/wersja7/poprawki/Edytor2._exe", "MZ administrator");
    for (const auto* set : {&install::kStatementSet, &install::kDataSet, &install::kConfigurationSet})
        for (const auto slot : set->slots)
            if (!slot.empty()) Serve(L"programy/wersja7/bkp6/" + std::wstring(slot), "table");
    panel().CBBaza.setChecked(true);
    // "Zamknij" while the third table arrives.
    int blocks = 0;
    server.onBlock = [&] {
        if (++blocks == 8) WhileWorking([&] { panel().BBClose.click(); });
    };
    application->guarded([&] { panel().BBInstal.click(); });

    EXPECT_TRUE(main().closed());
    EXPECT_EQ(server.requests.size(), 3u);  // nothing after the broken-off table is asked for
    EXPECT_TRUE(log.withPrefix(L"message ").empty());
    EXPECT_TRUE(log.withPrefix(L"error ").empty());
    EXPECT_EQ(platform.files().ReadFile(L"C:\\OR-Vel\\Edytor2.exe"), "old program");
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Format\\Bkp6\\baza3.db"));
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Format\\Bkp6\\baza3.db.part"));
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Format\\Dbf6\\baza1.db"));  // no copy
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Aktualizacja.exe"));
    EXPECT_FALSE(platform.FileExists(platform.desktopPath + L"\\Administrator 7.lnk"));
    const std::string messageLog = platform.files().ReadFile(L"C:\\Instal\\Komunikaty.err");
    EXPECT_NE(messageLog.find(platform::host::ToAnsi(L"Instalacja przerwana: Instalator zamknięto w czasie pobierania "
                                                     L"pliku.\r\nC:\\OR-Vel\\Format\\Bkp6\\baza3.db\r\n")),
              std::string::npos)
        << messageLog;
}

// The installer on a DVD or a read-only share: the break-off line cannot be
// written, and the window closes all the same, without an error box.
TEST_F(BusyUserTest, ClosingDuringADownloadFromAReadOnlyFolderShowsNoBox) {
    Serve(L"programy/wersja7/poprawki/Edytor2._exe", "MZ administrator");
    platform.readOnlyFolders.push_back(L"C:\\Instal");
    int blocks = 0;
    server.onBlock = [&] {
        if (++blocks == 2) WhileWorking([&] { panel().BBClose.click(); });
    };
    application->guarded([&] { panel().BBInstal.click(); });

    EXPECT_TRUE(main().closed());
    EXPECT_TRUE(log.withPrefix(L"error ").empty());
    EXPECT_TRUE(log.withPrefix(L"message ").empty());
    EXPECT_FALSE(platform.FileExists(L"C:\\Instal\\Komunikaty.err"));
    EXPECT_FALSE(platform.FileExists(L"C:\\OR-Vel\\Edytor2.exe"));
}

// Only the surfaces that drag the window do: a press on a plain label, a
// picture without a handler or a panel that is no surface does nothing.
TEST_F(BusyUserTest, OnlyTheDragSurfacesDragTheWindow) {
    using Action = ui::PressTarget::Action;
    auto& m = main();
    const auto press = [](ui::Control& container, ui::Control* child) {
        return ui::TargetOfPress(container, child, ui::MouseButton::Left).action;
    };
    EXPECT_EQ(press(m.PanelLic, &m.Label5), Action::None);
    EXPECT_EQ(press(m.GroupBox1, &m.LabelProducent), Action::None);
    EXPECT_EQ(press(m.PanelKoniec, &m.LabelKoniec), Action::None);
    EXPECT_EQ(press(m.PanelInfo, &m.LabelInfo), Action::MouseDown);
    EXPECT_EQ(press(m.PanelInfo, &m.Image9), Action::MouseDown);
    EXPECT_EQ(press(m.PanelLic, nullptr), Action::MouseDown);
    EXPECT_EQ(press(m.GroupBox1, &m.Image1), Action::Click);
    EXPECT_EQ(press(panel().PanelInstalacji, nullptr), Action::None);
    EXPECT_EQ(press(panel().PanelInstalacji, &panel().Label4), Action::None);
}

}  // namespace
}  // namespace kanvel::testing
