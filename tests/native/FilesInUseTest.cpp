#include "InstallerHarness.h"
#include "pages/notice/TFormInUse.h"

namespace kanvel::testing {
namespace {

const std::wstring kProgram = L"C:\\OR-Vel\\Edytor3.exe";
const std::wstring kKeptCopy = L"C:\\OR-Vel\\Instalator.exe";
const std::wstring kTable = L"C:\\OR-Vel\\Format\\Dbf6\\baza1.db";

// The window of files in use as a user meets it: what it says, and the
// button pressed, chosen for each showing by the test.
class FilesInUseTest : public InstallerTest {
protected:
    void SetUp() override {
        StartUpAcceptedWith(0);  // Koordynator, Edytor3
        server.responses[Url(L"programy/wersja7/poprawki/Edytor3._exe")] = {.body = "MZ koordynator"};
        platform.files().WriteFile(kProgram, "MZ running");
        // Other windows (the notice before a file from an earlier run is replaced) close unanswered.
        toolkit.onModal = [this](ui::Form& form) {
            auto* inUse = dynamic_cast<notice::TFormInUse*>(&form);
            if (inUse == nullptr) return;
            auto& dialog = *inUse;
            shown.push_back({dialog.caption(), dialog.LabelTitle.caption(), dialog.LabelFiles.caption(),
                             dialog.BRetry.caption(), dialog.BCancel.caption()});
            requestsWhileShown.push_back(server.requests.size());
            (answer(static_cast<int>(shown.size())) ? dialog.BRetry : dialog.BCancel).click();
        };
    }

    // Whether the Nth showing (from 1) is answered "Ponów".
    std::function<bool(int)> answer = [](int) { return false; };
    std::vector<std::vector<std::wstring>> shown;
    std::vector<std::size_t> requestsWhileShown;
};

TEST_F(FilesInUseTest, TheWindowNamesTheProgramsAndPonowLooksAgainUntilTheyLetGo) {
    platform.holdingPrograms.push_back({kProgram, L"Kanvel Koordynator 7.0"});
    platform.holdingPrograms.push_back({kProgram, L"Podgląd plików"});
    answer = [this](int showing) {
        if (showing == 2) platform.holdingPrograms.clear();  // the user closed them, then pressed "Ponów"
        return true;
    };
    panel().BBInstal.click();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], (std::vector<std::wstring>{L"Pliki w użyciu", L"Zamknij programy, które używają plików instalacji:",
                                                   kProgram + L" – Kanvel Koordynator 7.0, Podgląd plików", L"Ponów",
                                                   L"Anuluj"}));
    EXPECT_EQ(requestsWhileShown, (std::vector<std::size_t>{0, 0}));
    // Once they had let go, the install went on as always.
    EXPECT_EQ(platform.files().ReadFile(kProgram), "MZ koordynator");
    EXPECT_TRUE(main().PanelKoniec.visible());
    EXPECT_TRUE(installer->recorder().installation().filesInUse.empty());
}

TEST_F(FilesInUseTest, AnulujEndsTheClickWithNothingFetchedAndAFileWithoutANameIsShownAlone) {
    platform.holdingPrograms.push_back({kKeptCopy, L""});
    platform.files().WriteFile(kKeptCopy, "MZ kept");
    platform.files().WriteFile(kTable, "users' work");
    platform.lockedFiles.push_back(kTable);
    panel().CBBaza.setChecked(true);
    panel().BBInstal.click();
    ASSERT_EQ(shown.size(), 1u);
    // The working table the window's copy replaces, then the program's files; the free program file is not named.
    EXPECT_EQ(shown[0][2], kTable + L"\n" + kKeptCopy);
    EXPECT_TRUE(server.requests.empty());
    EXPECT_EQ(platform.files().ReadFile(kProgram), "MZ running");
    EXPECT_EQ(platform.files().ReadFile(kTable), "users' work");
    EXPECT_FALSE(platform.DirectoryExists(L"C:\\OR-Vel\\Format\\Bkp6"));
    EXPECT_FALSE(main().PanelKoniec.visible());
    EXPECT_EQ(installer->recorder().installation().filesInUse.size(), 2u);

    // Many held tables: the first few are named, then how many more there are.
    for (const wchar_t* name : {L"baza2.db", L"baza3.db", L"baza4.db", L"baza5.db"}) {
        platform.files().WriteFile(L"C:\\OR-Vel\\Format\\Dbf6\\" + std::wstring(name), "users' work");
        platform.lockedFiles.push_back(L"C:\\OR-Vel\\Format\\Dbf6\\" + std::wstring(name));
    }
    panel().BBInstal.click();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1][2], kTable + L"\nC:\\OR-Vel\\Format\\Dbf6\\baza2.db\nC:\\OR-Vel\\Format\\Dbf6\\baza3.db\n"
                           L"C:\\OR-Vel\\Format\\Dbf6\\baza4.db\n… oraz innych plików: 2");
    EXPECT_EQ(installer->recorder().installation().filesInUse.size(), 6u);
    EXPECT_TRUE(server.requests.empty());
}

TEST_F(FilesInUseTest, RemovalRemovesNothingWhileTheProgramIsHeldAndTheUserGivesUp) {
    platform.files().WriteFile(platform.desktopPath + L"\\Koordynator 7.lnk", "link");
    panel().OfferRemoval();
    ASSERT_TRUE(panel().BBDeinstal.enabled());
    platform.holdingPrograms.push_back({kProgram, L"Kanvel Koordynator 7.0"});
    panel().BBDeinstal.click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0][2], kProgram + L" – Kanvel Koordynator 7.0");
    EXPECT_TRUE(platform.FileExists(kProgram));
    EXPECT_TRUE(platform.FileExists(platform.desktopPath + L"\\Koordynator 7.lnk"));
    EXPECT_TRUE(panel().BBDeinstal.enabled());

    // Closed and tried again: removal goes on.
    answer = [this](int) {
        platform.holdingPrograms.clear();
        return true;
    };
    panel().BBDeinstal.click();
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_FALSE(platform.FileExists(kProgram));
    EXPECT_FALSE(platform.FileExists(platform.desktopPath + L"\\Koordynator 7.lnk"));
}

}  // namespace
}  // namespace kanvel::testing
