#include "InstallerHarness.h"

namespace kanvel::testing {
namespace {

using services::InstallScope;
using services::RegistryRoot;

const std::wstring kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmarin.Kanvel.Koordynator";
const std::wstring kKeptCopy = L"C:\\OR-Vel\\Instalator.exe";

// The entry of "Koordynator" installed in C:\OR-Vel, written and removed
// without the rest of an installation.
class AppsAndFeaturesEntryTest : public InstallerTest {
protected:
    void StartUpInstalled() {
        installer.reset();  // a run of its own each time, its forms freed before their application
        application.reset();
        StartUpAcceptedWith(0);
        panel().RefreshInstallFolder();
        platform.files().WriteFile(L"C:\\OR-Vel\\Edytor3.exe", "MZ program");
    }
    install::AppsAndFeaturesEntry& entry() { return installer->entry(); }
    const install::InstallReport& report() { return installer->recorder().installation(); }
    std::optional<std::wstring> EntryText(RegistryRoot root, const std::wstring& name) {
        return platform.registry().text(root, kKey, name);
    }
};

TEST_F(AppsAndFeaturesEntryTest, EachScopeHasItsEntryInItsOwnPartOfTheRegistryAndItsCommandsSayIt) {
    for (const InstallScope each : {InstallScope::CurrentUser, InstallScope::AllUsers}) {
        scope = each;
        StartUpInstalled();
        entry().Register({});
        const bool allUsers = each == InstallScope::AllUsers;
        const RegistryRoot root = allUsers ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser;
        const RegistryRoot other = allUsers ? RegistryRoot::CurrentUser : RegistryRoot::LocalMachine;
        EXPECT_EQ(report().entry, install::InstallReport::EntryStep::Written);
        EXPECT_EQ(report().entryKey, kKey);
        EXPECT_FALSE(platform.registry().hasKey(other, kKey));
        // A per-user entry names the account it belongs to; any administrator may remove one for every user.
        const std::wstring scopeOption = allUsers ? L" /ALLUSERS" : L" /OWNER=" + platform.accountId;
        EXPECT_EQ(EntryText(root, L"UninstallString"), L"\"" + kKeptCopy + L"\" /UNINSTALL \"/DIR=C:\"" + scopeOption);
        EXPECT_EQ(EntryText(root, L"ModifyPath"), L"\"" + kKeptCopy + L"\" /REPAIR \"/DIR=C:\"" + scopeOption);
        EXPECT_EQ(EntryText(root, L"QuietUninstallString"),
                  L"\"" + kKeptCopy + L"\" /SILENT /UNINSTALL /EDITION=Koordynator \"/DIR=C:\"" + scopeOption);
        EXPECT_EQ(EntryText(root, L"InstallLocation"), L"C:\\OR-Vel");
        EXPECT_EQ(platform.files().ReadFile(kKeptCopy), "MZ");  // the running installer's bytes
        platform.registry().remove(root, kKey);
    }
}

// The entry starts the kept copy: without that copy there is no entry.
TEST_F(AppsAndFeaturesEntryTest, AKeptCopyThatCannotBeWrittenLeavesNoEntry) {
    StartUpInstalled();
    platform.files().WriteFile(kKeptCopy, "MZ old");
    platform.SetAttributes(kKeptCopy, 1);  // read-only: the copy cannot replace it
    entry().Register({});
    EXPECT_EQ(report().entry, install::InstallReport::EntryStep::Failed);
    EXPECT_FALSE(platform.registry().hasKey(RegistryRoot::CurrentUser, kKey));
}

// Installing again from the kept copy itself: the copy is in place already.
TEST_F(AppsAndFeaturesEntryTest, RunFromTheKeptCopyTheEntryIsWrittenAndTheCopyKept) {
    StartUpInstalled();
    platform.files().WriteFile(kKeptCopy, "MZ kept");
    platform.executablePath = kKeptCopy;
    entry().Register({});
    EXPECT_EQ(report().entry, install::InstallReport::EntryStep::Written);
    EXPECT_EQ(platform.files().ReadFile(kKeptCopy), "MZ kept");
}

TEST_F(AppsAndFeaturesEntryTest, RemovalTakesOnlyThisFoldersEntryOnceItsProgramHasGone) {
    StartUpInstalled();
    entry().Register({});
    entry().Unregister(L"D:\\OR-Vel");  // another installation of the edition
    entry().Unregister(L"C:\\OR-Vel");  // its program file is still there
    EXPECT_TRUE(platform.registry().hasKey(RegistryRoot::CurrentUser, kKey));

    platform.DeleteFileAt(L"C:\\OR-Vel\\Edytor3.exe");
    platform.registry().deniedRoots.insert(RegistryRoot::CurrentUser);
    entry().Unregister(L"c:\\or-vel");
    EXPECT_TRUE(installer->recorder().removal().entryLeft);

    platform.registry().deniedRoots.clear();
    entry().Unregister(L"C:\\OR-Vel");
    EXPECT_FALSE(platform.registry().hasKey(RegistryRoot::CurrentUser, kKey));
}

// A removal that found its folder under another name than the entry's
// ("\OR-Vel\", the current drive's root, for "C:\OR-Vel") leaves the entry
// of a program that is gone: that is reported, so the run does not end as a success.
TEST_F(AppsAndFeaturesEntryTest, AnEntryLeftForAProgramThatIsGoneIsReported) {
    StartUpInstalled();
    entry().Register({});
    platform.files().WriteFile(L"D:\\OR-Vel\\Edytor3.exe", "MZ program");
    entry().Unregister(L"D:\\OR-Vel");  // another installation, whose entry's program is still there
    EXPECT_FALSE(installer->recorder().removal().entryLeft);
    platform.DeleteFileAt(L"C:\\OR-Vel\\Edytor3.exe");
    entry().Unregister(L"\\OR-Vel\\");
    EXPECT_TRUE(installer->recorder().removal().entryLeft);
    EXPECT_TRUE(platform.registry().hasKey(RegistryRoot::CurrentUser, kKey));
}

}  // namespace
}  // namespace kanvel::testing
