#include <gtest/gtest.h>

#include <cwchar>

#include "app/CommandLine.h"

namespace kanvel::testing {
namespace {

using app::CommandLine;
using Args = std::vector<std::wstring>;

app::CommandLineOptions Parsed(const Args& arguments) {
    const auto parsed = CommandLine::Parse(arguments);
    EXPECT_FALSE(parsed.error.has_value()) << (parsed.error ? std::string(parsed.error->argument.begin(), parsed.error->argument.end()) : "");
    return parsed.options;
}

// The argument an error names, or "" when the line was accepted.
std::wstring Refused(const Args& arguments) {
    const auto parsed = CommandLine::Parse(arguments);
    return parsed.error ? parsed.error->argument : std::wstring();
}

Args Silent(Args more) {
    Args arguments{L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

TEST(CommandLineTest, AFullLineInAnyCaseAndWithEitherPrefix) {
    const auto options = Parsed({L"-silent", L"/AcceptLicence", L"/edition=ADMINISTRATOR", L"-Dir=D:\\Programy",
                                 L"/components=Program,DATABASE", L"/Shortcuts=desktop", L"-LOG=D:\\logi\\kanvel.log"});
    EXPECT_TRUE(options.silent);
    EXPECT_TRUE(options.acceptLicence);
    EXPECT_FALSE(options.uninstall);
    EXPECT_FALSE(options.showUsage);
    EXPECT_EQ(options.edition, 2);
    EXPECT_EQ(options.directory, L"D:\\Programy");
    EXPECT_TRUE(options.program);
    EXPECT_TRUE(options.database);
    EXPECT_FALSE(options.engine);
    EXPECT_TRUE(options.desktopShortcut);
    EXPECT_FALSE(options.startMenuShortcut);
    EXPECT_EQ(options.logFile, L"D:\\logi\\kanvel.log");
}

TEST(CommandLineTest, DefaultsAreTheProgramFileAndBothShortcutsOnDriveC) {
    const auto options = Parsed({L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=koordynator"});
    EXPECT_EQ(options.edition, 0);
    EXPECT_FALSE(options.directory.has_value());
    EXPECT_TRUE(options.program);
    EXPECT_FALSE(options.database);
    EXPECT_FALSE(options.engine);
    EXPECT_TRUE(options.desktopShortcut);
    EXPECT_TRUE(options.startMenuShortcut);
    EXPECT_FALSE(options.logFile.has_value());
}

TEST(CommandLineTest, EveryEditionByNameInAnyCase) {
    const Args names{L"KOORDYNATOR", L"procesor", L"Administrator", L"aSYSTENT", L"Konstruktor"};
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(Parsed({L"/SILENT", L"/EDITION=" + names[i]}).edition, static_cast<int>(i));
    EXPECT_EQ(Refused({L"/SILENT", L"/EDITION=Edytor"}), L"/EDITION=Edytor");
    EXPECT_EQ(Refused({L"/SILENT", L"/EDITION=Koordynator7"}), L"/EDITION=Koordynator7");
}

TEST(CommandLineTest, ComponentAndShortcutListsTakeAnySubsetInAnyOrder) {
    auto options = Parsed(Silent({L"/COMPONENTS=engine,program"}));
    EXPECT_TRUE(options.program && options.engine && !options.database);
    options = Parsed(Silent({L"/COMPONENTS=database"}));
    EXPECT_TRUE(!options.program && options.database && !options.engine);
    // A quoted argument may carry blanks around the items.
    options = Parsed(Silent({L"/COMPONENTS= database , engine ,program"}));
    EXPECT_TRUE(options.program && options.database && options.engine);
    options = Parsed(Silent({L"/SHORTCUTS=startmenu"}));
    EXPECT_TRUE(!options.desktopShortcut && options.startMenuShortcut);
    options = Parsed(Silent({L"/NOSHORTCUTS"}));
    EXPECT_TRUE(!options.desktopShortcut && !options.startMenuShortcut);

    for (const wchar_t* bad : {L"/COMPONENTS=program,,database", L"/COMPONENTS=program,", L"/COMPONENTS=docs",
                               L"/SHORTCUTS=desktop,taskbar", L"/COMPONENTS=program;database"})
        EXPECT_EQ(Refused(Silent({bad})), bad);
    const auto parsed = CommandLine::Parse(Silent({L"/COMPONENTS=program,docs"}));
    ASSERT_TRUE(parsed.error);
    EXPECT_NE(parsed.error->reason.find(L"docs"), std::wstring::npos);
}

TEST(CommandLineTest, TheFolderIsADriveOrAnAbsoluteFolderWithoutItsTrailingSeparator) {
    const std::vector<std::pair<std::wstring, std::wstring>> accepted{
        {L"D:", L"D:"},
        {L"d:\\", L"d:"},
        {L"D:\\Programy\\", L"D:\\Programy"},
        {L"D:\\Moje programy\\Kanvel", L"D:\\Moje programy\\Kanvel"},
        {L"\\\\serwer\\udział\\kanvel", L"\\\\serwer\\udział\\kanvel"},
    };
    for (const auto& [given, folder] : accepted) EXPECT_EQ(Parsed(Silent({L"/DIR=" + given})).directory, folder);
    for (const wchar_t* bad : {L"Programy", L"D:Programy", L"D:\\a\\\\b", L"D:\\a\\..\\b", L"D:\\a?b", L"D:/Programy",
                               L"\\\\serwer", L"1:\\x", L"D:\\a:b"})
        EXPECT_EQ(Refused(Silent({std::wstring(L"/DIR=") + bad})), std::wstring(L"/DIR=") + bad);
}

TEST(CommandLineTest, MalformedOptionsAreNamedAsGiven) {
    for (const wchar_t* bad : {L"/FOO", L"instaluj", L"/SILENT=1", L"/EDITION", L"/EDITION=", L"/DIR=", L"/LOG=",
                               L"/NOSHORTCUTS=tak", L"/", L"--SILENT", L""})
        EXPECT_EQ(Refused({L"/SILENT", L"/EDITION=Procesor", bad}), bad);
}

TEST(CommandLineTest, EachOptionOnceAndNoConflictingOnes) {
    EXPECT_EQ(Refused({L"/SILENT", L"/EDITION=Procesor", L"/silent"}), L"/silent");
    EXPECT_EQ(Refused({L"/SILENT", L"/EDITION=Procesor", L"/EDITION=Asystent"}), L"/EDITION=Asystent");
    EXPECT_EQ(Refused(Silent({L"/COMPONENTS=program", L"-components=database"})), L"-components=database");
    EXPECT_EQ(Refused(Silent({L"/NOSHORTCUTS", L"/SHORTCUTS=desktop"})), L"/SHORTCUTS=desktop");
    EXPECT_EQ(Refused(Silent({L"/UNINSTALL", L"/COMPONENTS=program"})), L"/COMPONENTS=program");
    EXPECT_EQ(Refused(Silent({L"/NOSHORTCUTS", L"/UNINSTALL"})), L"/NOSHORTCUTS");
    EXPECT_EQ(Refused(Silent({L"/UNINSTALL", L"/DIR=D:\\Programy"})), L"");
    // The first fault is the one reported.
    EXPECT_EQ(Refused(Silent({L"/BAR", L"/FOO"})), L"/BAR");
}

TEST(CommandLineTest, WhatDeploymentToolsAddIsAcceptedAndScopeAndResetAreChecked) {
    auto options = Parsed({L"/VERYSILENT", L"/SUPPRESSMSGBOXES", L"/NORESTART", L"/SP-", L"/EDITION=Procesor"});
    EXPECT_TRUE(options.silent);
    EXPECT_FALSE(options.allUsers);
    // Both words for a run without a window may stand together, as Inno Setup allows.
    EXPECT_TRUE(Parsed({L"/SILENT", L"/VERYSILENT", L"/EDITION=Procesor"}).silent);
    EXPECT_TRUE(Parsed(Silent({L"/ALLUSERS"})).allUsers);
    EXPECT_FALSE(Parsed(Silent({L"/CURRENTUSER"})).allUsers);
    EXPECT_EQ(Refused(Silent({L"/ALLUSERS", L"/CURRENTUSER"})), L"/CURRENTUSER");
    EXPECT_TRUE(Parsed(Silent({L"/COMPONENTS=program,database", L"/RESETDATABASE"})).resetDatabase);
    EXPECT_EQ(Refused(Silent({L"/RESETDATABASE"})), L"/RESETDATABASE");
    EXPECT_EQ(Refused(Silent({L"/UNINSTALL", L"/RESETDATABASE"})), L"/RESETDATABASE");
    // Removal needs no licence accepted.
    options = Parsed({L"/SILENT", L"/UNINSTALL", L"/EDITION=Procesor"});
    EXPECT_TRUE(options.uninstall && !options.acceptLicence);
    EXPECT_EQ(Parsed(Silent({L"/SECONDPHASE=1c4,2a8"})).secondPhase, L"1c4,2a8");
    EXPECT_FALSE(Parsed(Silent({})).closeApplications);
    EXPECT_TRUE(Parsed(Silent({L"/CloseApplications"})).closeApplications);
    EXPECT_TRUE(Parsed({L"/SILENT", L"/UNINSTALL", L"/EDITION=Procesor", L"/CLOSEAPPLICATIONS"}).closeApplications);
    EXPECT_EQ(Refused({L"/LAYOUT=D:\\pliki", L"/CLOSEAPPLICATIONS"}), L"/CLOSEAPPLICATIONS");
}

// A repair takes what an installation takes (winget adds its install
// switches to the repair's), never a reset of the tables, and runs with a window too.
TEST(CommandLineTest, RepairTakesTheInstallOptionsButNoResetAndNoRemoval) {
    auto options = Parsed({L"/SILENT", L"/REPAIR", L"/EDITION=Procesor"});
    EXPECT_TRUE(options.repair && !options.acceptLicence && !options.uninstall);
    EXPECT_TRUE(Parsed(Silent({L"/COMPONENTS=program,database", L"/LOG=D:\\k.log", L"/repair"})).repair);
    EXPECT_EQ(Refused(Silent({L"/REPAIR", L"/COMPONENTS=program,database", L"/RESETDATABASE"})), L"/RESETDATABASE");
    EXPECT_EQ(Refused({L"/SILENT", L"/EDITION=Procesor", L"/UNINSTALL", L"/REPAIR"}), L"/UNINSTALL");
    EXPECT_EQ(Refused({L"/LAYOUT=D:\\pliki", L"/REPAIR"}), L"/REPAIR");
    options = Parsed({L"/REPAIR", L"/DIR=D:\\Programy", L"/ALLUSERS"});
    EXPECT_TRUE(options.repair && !options.silent);
    EXPECT_EQ(Refused({L"/REPAIR", L"/EDITION=Procesor"}), L"/EDITION=Procesor");
}

// A per-user entry's removal and repair name the account they belong to,
// with a window or without; an installation for every user has no owner.
TEST(CommandLineTest, OwnerIsAnAccountIdentifierForARemovalOrRepairOfOneUser) {
    const std::wstring sid = L"S-1-5-21-3623811015-3361044348-30300820-1013";
    EXPECT_EQ(Parsed({L"/UNINSTALL", L"/DIR=D:", L"/OWNER=" + sid}).owner, sid);
    EXPECT_EQ(Parsed({L"/REPAIR", L"/DIR=D:", L"/owner=s-1-5-18"}).owner, L"s-1-5-18");
    EXPECT_EQ(Parsed({L"/SILENT", L"/UNINSTALL", L"/EDITION=Procesor", L"/OWNER=" + sid}).owner, sid);
    EXPECT_FALSE(Parsed({L"/UNINSTALL", L"/DIR=D:"}).owner);
    for (const std::wstring bad : {L"S-1-", L"S-1-5--21", L"S-1-5-21-", L"S-2-5", L"X-1-5-21", L"S-1-5-21-1a", L"Jan"})
        EXPECT_EQ(Refused({L"/UNINSTALL", L"/OWNER=" + bad}), L"/OWNER=" + bad);
    EXPECT_EQ(Refused({L"/UNINSTALL", L"/OWNER=" + sid, L"/ALLUSERS"}), L"/OWNER=" + sid);
    EXPECT_EQ(Refused({L"/DIR=D:", L"/OWNER=" + sid}), L"/OWNER=" + sid);
    EXPECT_EQ(Refused(Silent({L"/OWNER=" + sid})), L"/OWNER=" + sid);
    EXPECT_EQ(Refused({L"/LAYOUT=D:\\pliki", L"/OWNER=" + sid}), L"/OWNER=" + sid);
}

TEST(CommandLineTest, AWindowRunTakesTheFolderTheLogAndTheScope) {
    const auto options = Parsed({L"/DIR=D:\\Moje programy", L"/LOG=C:\\Users\\Jan Kowalski\\k.log", L"/ALLUSERS",
                                 L"/SUPPRESSMSGBOXES", L"/NORESTART", L"/SP-"});
    EXPECT_FALSE(options.silent);
    EXPECT_EQ(options.directory, L"D:\\Moje programy");
    EXPECT_EQ(options.logFile, L"C:\\Users\\Jan Kowalski\\k.log");
    EXPECT_TRUE(options.allUsers);
    // Settings' "Uninstall" and "Modify" open the window for a removal or a repair.
    EXPECT_TRUE(Parsed({L"/UNINSTALL", L"/DIR=D:"}).uninstall);
    EXPECT_TRUE(Parsed({L"/REPAIR", L"/DIR=D:"}).repair);
    for (const wchar_t* silentOnly : {L"/EDITION=Procesor", L"/COMPONENTS=program", L"/RESETDATABASE",
                                      L"/NOSHORTCUTS", L"/ACCEPTLICENCE", L"/CLOSEAPPLICATIONS"})
        EXPECT_EQ(Refused({L"/DIR=D:", silentOnly}), silentOnly);
}

TEST(CommandLineTest, AFolderLongerThanTheLocationFieldIsRefused) {
    const std::wstring longest = L"D:\\" + std::wstring(1022, L'a');
    EXPECT_EQ(Parsed(Silent({L"/DIR=" + longest})).directory, longest);
    EXPECT_EQ(Refused(Silent({L"/DIR=" + longest + L"a"})), L"/DIR=" + longest + L"a");
}

TEST(CommandLineTest, InstallOptionsNeedSilentAndSilentNeedsAnEdition) {
    EXPECT_EQ(Refused({L"/EDITION=Procesor", L"/DIR=D:"}), L"/EDITION=Procesor");
    EXPECT_EQ(Refused({L"/ACCEPTLICENCE"}), L"/ACCEPTLICENCE");
    EXPECT_EQ(Refused({L"/SILENT", L"/ACCEPTLICENCE"}), L"/EDITION");
    // The licence is the run's own outcome, not a fault of the line.
    EXPECT_EQ(Refused({L"/SILENT", L"/EDITION=Procesor"}), L"");
    EXPECT_FALSE(Parsed({L"/SILENT", L"/EDITION=Procesor"}).acceptLicence);
}

TEST(CommandLineTest, UsageAloneOrWithSilentAndItsTextNamesEveryOptionAndEdition) {
    EXPECT_TRUE(Parsed({L"/?"}).showUsage);
    const auto silentUsage = Parsed({L"-?", L"/SILENT"});
    EXPECT_TRUE(silentUsage.showUsage && silentUsage.silent);
    const std::wstring usage = CommandLine::Usage();
    for (const wchar_t* text : {L"/SILENT", L"/VERYSILENT", L"/ACCEPTLICENCE", L"/EDITION=", L"/DIR=",
                                L"/COMPONENTS=program,database,engine", L"/RESETDATABASE", L"/ALLUSERS", L"/CURRENTUSER",
                                L"/SHORTCUTS=desktop,startmenu", L"/NOSHORTCUTS", L"/UNINSTALL", L"/LOG=", L"/?",
                                L"/SUPPRESSMSGBOXES", L"/NORESTART", L"/SP-", L"1618", L"/CLOSEAPPLICATIONS",
                                L"11 proxy", L"13 za mało miejsca", L"14 pliki w użyciu", L"15 instalator silnika",
                                L"/OWNER=", L"17 instalacja innego konta",
                                L"Koordynator, Procesor, Administrator, Asystent, Konstruktor"})
        EXPECT_NE(usage.find(text), std::wstring::npos) << std::string(text, text + std::wcslen(text));
}

}  // namespace
}  // namespace kanvel::testing
