#include <filesystem>
#include <utility>

#include "InstallerHarness.h"
#include "platform/host/Encoding.h"
#include "services/installer/InstallerError.h"
#include "services/shortcuts/ShortcutWriter.h"

namespace kanvel::testing {
namespace {

using services::TParametrySkrotu;

const std::wstring kLinkFile = L"C:\\Skroty\\Kanvel.lnk";
const std::wstring kProgram = L"C:\\OR-Vel\\Edytor3.exe";
const std::wstring kDescription = L"Skrót do programu Kanvel Koordynator 8.0";

// The recording link object writes the calls it received into the link file,
// so reading the file back shows which calls the writer made and in what order.
class ShortcutWriterTest : public InstallerTest {
protected:
    void SetUp() override { platform.files().MakeFolders(L"C:\\Skroty"); }

    std::wstring Write(const TParametrySkrotu& parametry) {
        services::UtworzSkrot(platform, kLinkFile, parametry);
        return Recorded();
    }
    std::wstring Recorded() { return platform::host::FromUtf8(platform.files().ReadFile(kLinkFile)); }
    bool LinkWritten() { return std::filesystem::exists(platform.files().ToHost(kLinkFile)); }
};

// A platform whose shell cannot make a link object.
class PlatformWithoutShell : public platform::host::HostPlatform {
public:
    using HostPlatform::HostPlatform;
    std::unique_ptr<services::ShellLink> CreateShellLink() override {
        throw services::InstallerError(L"Klasa niezarejestrowana");
    }
};

TEST_F(ShortcutWriterTest, InstallersOwnShortcutMakesEveryCallInOrder) {
    EXPECT_EQ(Write({.SciezkaPliku = kProgram, .katalogRoboczy = L"C:\\OR-Vel", .opis = kDescription,
                     .rodzajokna = 1, .numerIkony = 0, .klawiszSkrotu = L'K'}),
              L"Path=C:\\OR-Vel\\Edytor3.exe\n"
              L"WorkingDirectory=C:\\OR-Vel\n"
              L"Arguments=\n"
              L"Description=Skrót do programu Kanvel Koordynator 8.0\n"
              L"ShowCmd=1\n"
              L"Hotkey=1611\n");

    EXPECT_EQ(Write({.SciezkaPliku = kProgram, .argumenty = L"/baza D:\\Dane", .katalogRoboczy = L"D:\\Dane",
                     .opis = L"Edytor", .SciezkaIkony = L"C:\\OR-Vel\\ikony.dll", .rodzajokna = 3,
                     .numerIkony = 2, .klawiszSkrotu = L'7'}),
              L"Path=C:\\OR-Vel\\Edytor3.exe\n"
              L"WorkingDirectory=D:\\Dane\n"
              L"Arguments=/baza D:\\Dane\n"
              L"Description=Edytor\n"
              L"ShowCmd=3\n"
              L"IconLocation=C:\\OR-Vel\\ikony.dll,2\n"
              L"Hotkey=1591\n");
}

TEST_F(ShortcutWriterTest, EmptyDescriptionIconAndKeyLeaveTheirCallsOutButArgumentsAreAlwaysSet) {
    EXPECT_EQ(Write({.SciezkaPliku = kProgram, .katalogRoboczy = L"C:\\OR-Vel", .numerIkony = 5}),
              L"Path=C:\\OR-Vel\\Edytor3.exe\n"
              L"WorkingDirectory=C:\\OR-Vel\n"
              L"Arguments=\n"
              L"ShowCmd=1\n");
}

TEST_F(ShortcutWriterTest, EmptyWorkingFolderBecomesTheProgramsFolderWithItsSeparator) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"C:\\A\\b.exe", L"C:\\A\\"},
        {L"C:\\OR-Vel\\Bin\\Edytor3.exe", L"C:\\OR-Vel\\Bin\\"},
        {L"D:Edytor3.exe", L"D:"},
        {L"\\\\serwer\\kanvel\\Edytor3.exe", L"\\\\serwer\\kanvel\\"},
        {L"Edytor3.exe", L""},
    };
    for (const auto& [program, folder] : cases) {
        SCOPED_TRACE(platform::host::ToUtf8(program));
        const std::wstring calls = Write({.SciezkaPliku = program});
        EXPECT_NE(calls.find(L"\nWorkingDirectory=" + folder + L"\n"), std::wstring::npos) << calls.c_str();
    }
    const std::wstring given = Write({.SciezkaPliku = L"C:\\A\\b.exe", .katalogRoboczy = L"E:\\Praca"});
    EXPECT_NE(given.find(L"\nWorkingDirectory=E:\\Praca\n"), std::wstring::npos);
}

TEST_F(ShortcutWriterTest, ShowCommandZeroMeansNormalAndOtherValuesPassUnchanged) {
    const std::pair<int, std::wstring> cases[] = {{0, L"1"}, {1, L"1"}, {3, L"3"}, {7, L"7"}};
    for (const auto& [given, recorded] : cases) {
        const std::wstring calls = Write({.SciezkaPliku = kProgram, .rodzajokna = given});
        EXPECT_NE(calls.find(L"\nShowCmd=" + recorded + L"\n"), std::wstring::npos) << "rodzajokna " << given;
    }
}

TEST_F(ShortcutWriterTest, HotkeyWordHoldsCtrlAltAndTheUpperCaseLetter) {
    EXPECT_EQ(services::HotkeyWord(L'k'), 0x64B);
    EXPECT_EQ(services::HotkeyWord(L'K'), 0x64B);
    EXPECT_EQ(services::HotkeyWord(L'a'), 0x641);
    EXPECT_EQ(services::HotkeyWord(L'z'), 0x65A);
    EXPECT_EQ(services::HotkeyWord(L'7'), 0x637);
    // The neighbours of a-z are not letters and keep their bit 5.
    EXPECT_EQ(services::HotkeyWord(L'`'), 0x660);
    EXPECT_EQ(services::HotkeyWord(L'{'), 0x67B);

    EXPECT_NE(Write({.SciezkaPliku = kProgram, .klawiszSkrotu = L'k'}).find(L"\nHotkey=1611\n"), std::wstring::npos);
}

TEST_F(ShortcutWriterTest, EmptyProgramPathIsRefusedAfterTheLinkObjectIsMadeAndWritesNothing) {
    try {
        services::UtworzSkrot(platform, kLinkFile, {.opis = kDescription, .klawiszSkrotu = L'K'});
        ADD_FAILURE() << "no error for an empty program path";
    } catch (const services::InstallerError& error) {
        EXPECT_EQ(error.text(), L"Brak nazwy pliku, do którego ma zostać utworzony skrót");
    }
    EXPECT_FALSE(LinkWritten());

    // Without a link object the shell's own error is the one reported.
    PlatformWithoutShell withoutShell(tree.path(), log);
    try {
        services::UtworzSkrot(withoutShell, kLinkFile, {});
        ADD_FAILURE() << "no error without a link object";
    } catch (const services::InstallerError& error) {
        EXPECT_EQ(error.text(), L"Klasa niezarejestrowana");
    }
}

TEST_F(ShortcutWriterTest, CallersRecordKeepsItsEmptyFieldsAndLowerCaseKey) {
    TParametrySkrotu parametry{.SciezkaPliku = L"C:\\A\\b.exe", .klawiszSkrotu = L'k'};
    services::UtworzSkrot(platform, kLinkFile, parametry);
    EXPECT_EQ(parametry.katalogRoboczy, L"");
    EXPECT_EQ(parametry.rodzajokna, 0);
    EXPECT_EQ(parametry.klawiszSkrotu, L'k');
}

TEST_F(ShortcutWriterTest, LinkInAMissingFolderLeavesNoFileAndNoError) {
    const std::wstring missing = L"C:\\Brak\\Kanvel.lnk";
    EXPECT_NO_THROW(services::UtworzSkrot(platform, missing, {.SciezkaPliku = kProgram, .opis = kDescription}));
    EXPECT_FALSE(std::filesystem::exists(platform.files().ToHost(L"C:\\Brak")));
}

}  // namespace
}  // namespace kanvel::testing
