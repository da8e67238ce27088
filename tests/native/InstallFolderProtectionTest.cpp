// Who may change an installation afterwards, read from the test platform's
// reproduction of Windows' file security: a folder made without a
// descriptor takes its parent's inheritable entries, and a drive's root lets
// every signed-in user modify what is made below it.
#include "InstallerHarness.h"
#include "pages/install/DatabaseFileSets.h"
#include "app/CommandLineRun.h"

namespace kanvel::testing {
namespace {

using Args = std::vector<std::wstring>;
using platform::host::HostSecurity;
namespace sids = platform::host::sids;
namespace fs = std::filesystem;

const std::wstring kLogFile = L"C:\\Users\\Tester\\AppData\\Local\\Temp\\Kanvel-Instalator.log";
const std::wstring kInstallFolder = L"D:\\Programy\\OR-Vel";
// Another signed-in user of the machine, and the one who installs for himself.
const std::wstring kOtherUser = L"S-1-5-21-3623811015-3361044348-30300820-1002";
const std::wstring kInstallingUser = L"S-1-5-21-3623811015-3361044348-30300820-1001";

class InstallFolderProtectionTest : public ::testing::Test {
protected:
    TempTree tree;
    platform::host::EventLog events;
    platform::host::HostPlatform platform{tree.path(), events};
    platform::host::ScriptedServer server;

    void SetUp() override {
        platform.httpClientFactory = [this] { return std::make_unique<platform::host::ScriptedHttpClient>(server); };
        platform.files().WriteFile(platform.executablePath, "MZ");
        platform.security().runningAccount = kInstallingUser;
        platform.files().MakeFolders(L"D:\\Programy");
        platform.security().Give(L"D:\\Programy", {sids::kAdministrators, {}, false});
        const std::wstring base = KANVEL_DOWNLOAD_BASE_URL;
        server.responses[base + L"programy/wersja7/poprawki/Edytor2._exe"] = {.body = "MZ administrator"};
        for (const auto* set : {&install::kStatementSet, &install::kDataSet, &install::kConfigurationSet})
            for (const auto slot : set->slots)
                if (!slot.empty()) server.responses[base + L"programy/wersja7/bkp6/" + std::wstring(slot)] = {.body = "t"};
    }

    int Install(const std::wstring& location, Args more) {
        Args arguments{L"/SILENT", L"/ACCEPTLICENCE", L"/EDITION=Administrator", L"/DIR=" + location,
                       L"/COMPONENTS=program,database"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return app::RunFromCommandLine(platform, arguments, [](const app::WindowSettings&) {});
    }
    int InstallForAllUsers(const std::wstring& location = L"D:\\Programy") {
        platform.security().elevated = true;
        return Install(location, {L"/ALLUSERS"});
    }

    bool Logged(const std::wstring& text) {
        return platform.files().ReadFile(kLogFile).find(platform::host::ToUtf8(text)) != std::string::npos;
    }
    // Every file and folder below the folder (links not followed), the folder first.
    std::vector<std::wstring> EverythingIn(const std::wstring& folder) {
        std::vector<std::wstring> found{folder};
        for (const auto& entry : fs::recursive_directory_iterator(platform.files().ToHost(folder)))
            found.push_back(platform.files().ToWindows(entry.path()));
        return found;
    }
    bool MayChange(const std::wstring& path, const std::wstring& user) {
        return platform.security().MayChange(path, HostSecurity::StandardUserToken(user));
    }
    static bool InWorkingFolder(const std::wstring& path, const std::wstring& installFolder) {
        for (const wchar_t* working : {L"\\Format\\Zestaw", L"\\Format\\Dbf6", L"\\Format\\Cfg"}) {
            const std::wstring folder = installFolder + working;
            if (path == folder || path.starts_with(folder + L"\\")) return true;
        }
        return false;
    }
    // What a user who installed before the installation was protected left:
    // the folder, its program and a working table, made by an elevated
    // administrator without a descriptor, so they inherit the drive's rights.
    void MakeEarlierInstallation() {
        platform.files().WriteFile(kInstallFolder + L"\\Edytor2.exe", "MZ old");
        platform.files().WriteFile(kInstallFolder + L"\\Format\\Dbf6\\projekty.db", "the users' work");
        for (const wchar_t* path : {L"", L"\\Format", L"\\Format\\Dbf6"})
            platform.security().Give(kInstallFolder + path, {sids::kAdministrators, {}, false});
    }
    // Nothing outside the working folders may be changed by another user;
    // everything in them may; and all of it may be read and run.
    void ExpectOnlyWorkingFoldersOpenToUsers(const std::wstring& installFolder) {
        constexpr std::uint32_t kReadData = 0x1;
        std::size_t working = 0;
        for (const auto& path : EverythingIn(installFolder)) {
            EXPECT_EQ(MayChange(path, kOtherUser), InWorkingFolder(path, installFolder)) << platform::host::ToUtf8(path);
            EXPECT_NE(platform.security().RightsOf(path, HostSecurity::StandardUserToken(kOtherUser)) & kReadData, 0u);
            working += InWorkingFolder(path, installFolder);
        }
        EXPECT_GE(working, 3u);
    }
};

TEST_F(InstallFolderProtectionTest, ForAllUsersOnlyTheWorkingFoldersAreOpenToTheUsers) {
    ASSERT_EQ(InstallForAllUsers(L"D:\\Programy\\Firma"), 0);
    // Every level the installer made is protected too, not only the install folder.
    for (const std::wstring folder : {L"D:\\Programy\\Firma", L"D:\\Programy\\Firma\\OR-Vel"}) {
        const auto descriptor = platform.security().EffectiveDescriptor(folder);
        EXPECT_EQ(descriptor.owner, sids::kAdministrators);
        EXPECT_TRUE(descriptor.isProtected);
        EXPECT_FALSE(MayChange(folder, kOtherUser));
    }
    ExpectOnlyWorkingFoldersOpenToUsers(L"D:\\Programy\\Firma\\OR-Vel");
    EXPECT_TRUE(platform.FileExists(L"D:\\Programy\\Firma\\OR-Vel\\Edytor2.exe"));
}

TEST_F(InstallFolderProtectionTest, ForOneUserOnlyThatUserMayChangeIt) {
    ASSERT_EQ(Install(L"D:\\Programy", {}), 0);
    const auto everything = EverythingIn(kInstallFolder);
    ASSERT_GT(everything.size(), 10u);
    for (const auto& path : everything) {
        EXPECT_TRUE(MayChange(path, kInstallingUser)) << platform::host::ToUtf8(path);
        EXPECT_FALSE(MayChange(path, kOtherUser)) << platform::host::ToUtf8(path);
    }
    EXPECT_EQ(platform.security().EffectiveDescriptor(kInstallFolder).owner, kInstallingUser);
}

TEST_F(InstallFolderProtectionTest, AnEarlierInstallationIsProtectedAndItsWorkingFoldersStayOpen) {
    MakeEarlierInstallation();
    ASSERT_TRUE(MayChange(kInstallFolder + L"\\Edytor2.exe", kOtherUser));  // what the drive's rights gave it
    ASSERT_EQ(InstallForAllUsers(), 0);
    ExpectOnlyWorkingFoldersOpenToUsers(kInstallFolder);
    EXPECT_EQ(platform.files().ReadFile(kInstallFolder + L"\\Format\\Dbf6\\projekty.db"), "the users' work");
}

TEST_F(InstallFolderProtectionTest, AFolderAUserMadeBeforeIsRefusedAndNothingIsWrittenIntoIt) {
    platform.files().MakeFolders(kInstallFolder);
    platform.security().Give(kInstallFolder, {kOtherUser, {{kOtherUser, platform::host::rights::kFullControl, true, true, false}}, false});
    EXPECT_EQ(InstallForAllUsers(), 2);
    EXPECT_TRUE(Logged(L"folder odrzucony: " + kInstallFolder));
    EXPECT_EQ(EverythingIn(kInstallFolder).size(), 1u);
    EXPECT_EQ(platform.security().EffectiveDescriptor(kInstallFolder).owner, kOtherUser);
}

TEST_F(InstallFolderProtectionTest, LinksAreRefusedWithTwoAndNothingIsWrittenWhereTheyLead) {
    // The install folder itself a link (a junction on Windows) to another folder.
    platform.files().MakeFolders(L"D:\\Cel");
    fs::create_directory_symlink(platform.files().ToHost(L"D:\\Cel"), platform.files().ToHost(kInstallFolder));
    EXPECT_EQ(InstallForAllUsers(), 2);
    EXPECT_TRUE(Logged(L"folder odrzucony: " + kInstallFolder));
    EXPECT_TRUE(fs::is_empty(platform.files().ToHost(L"D:\\Cel")));

    // A link inside an earlier installation, and a file with a second name
    // elsewhere: re-permissioning them would hand their targets over.
    fs::remove(platform.files().ToHost(kInstallFolder));
    MakeEarlierInstallation();
    platform.files().WriteFile(L"C:\\Windows\\System32\\kernel32.dll", "MZ system");
    fs::create_hard_link(platform.files().ToHost(L"C:\\Windows\\System32\\kernel32.dll"),
                         platform.files().ToHost(kInstallFolder + L"\\kernel32.dll"));
    EXPECT_EQ(InstallForAllUsers(), 2);
    EXPECT_EQ(platform.files().ReadFile(kInstallFolder + L"\\Edytor2.exe"), "MZ old");
    fs::remove(platform.files().ToHost(kInstallFolder + L"\\kernel32.dll"));
    fs::create_directory_symlink(platform.files().ToHost(L"D:\\Cel"), platform.files().ToHost(kInstallFolder + L"\\Format\\Cfg"));
    EXPECT_EQ(InstallForAllUsers(), 2);
    EXPECT_TRUE(fs::is_empty(platform.files().ToHost(L"D:\\Cel")));
}

}  // namespace
}  // namespace kanvel::testing
