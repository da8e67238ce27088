#include "InstallerHarness.h"
#include "services/paths/InstallationPaths.h"
#include "services/installer/ProgramTitle.h"
#include "services/paths/WindowsPath.h"

namespace kanvel::testing {
namespace {

TEST(HostPaths, DrivesAndTheCurrentRootMapOntoTheirFolders) {
    TempTree tree;
    platform::host::HostFileSystem files(tree.path());
    EXPECT_EQ(files.ToHost(L"C:\\OR-Vel\\a.exe"), tree.path() / "C" / "OR-Vel" / "a.exe");
    EXPECT_EQ(files.ToHost(L"\\OR-Vel\\"), tree.path() / "C" / "OR-Vel");
    EXPECT_EQ(files.ToHost(L"d:\\programy"), tree.path() / "D" / "programy");
    EXPECT_EQ(files.ToHost(L"C:"), tree.path() / "C");
    EXPECT_EQ(files.ToHost(L"D:\\\\Komunikaty.err"), tree.path() / "D" / "Komunikaty.err");
}

TEST(HostPaths, ExistingNamesMatchWithoutRegardToCase) {
    TempTree tree;
    platform::host::HostFileSystem files(tree.path());
    files.WriteFile(L"C:\\OR-Vel\\Edytor3.exe", "x");
    EXPECT_EQ(files.ToHost(L"c:\\or-vel\\EDYTOR3.EXE"), tree.path() / "C" / "OR-Vel" / "Edytor3.exe");
    EXPECT_EQ(files.ToHost(L"C:\\OR-VEL\\Zażółć"), tree.path() / "C" / "OR-Vel" / "Zażółć");
}

class HostFileOperations : public InstallerTest {};

TEST_F(HostFileOperations, AnswerAsTheWindowsCallsDo) {
    platform.files().WriteFile(L"C:\\A\\f.txt", "old");
    EXPECT_TRUE(platform.FileExists(L"C:\\A\\f.txt"));
    EXPECT_FALSE(platform.FileExists(L"C:\\A"));  // a folder is no file
    EXPECT_TRUE(platform.DirectoryExists(L"C:\\A"));
    EXPECT_FALSE(platform.MakeDirectory(L"C:\\X\\Y"));  // parent missing
    EXPECT_TRUE(platform.MakeDirectory(L"C:\\X"));
    EXPECT_FALSE(platform.RemoveEmptyDirectory(L"C:\\A"));  // not empty
    EXPECT_TRUE(platform.CopyFileTo(L"C:\\A\\f.txt", L"C:\\X\\g.txt", false));
    platform.files().WriteFile(L"C:\\A\\f.txt", "new");
    EXPECT_FALSE(platform.CopyFileTo(L"C:\\A\\f.txt", L"C:\\X\\g.txt", true));
    EXPECT_TRUE(platform.CopyFileTo(L"C:\\A\\f.txt", L"C:\\X\\g.txt", false));
    EXPECT_EQ(platform.files().ReadFile(L"C:\\X\\g.txt"), "new");
    EXPECT_FALSE(platform.CopyFileTo(L"C:\\A\\missing", L"C:\\X\\h.txt", false));
    // A read-only file can be neither deleted nor overwritten until its
    // attribute is cleared.
    constexpr std::uint32_t kReadOnly = 1;
    ASSERT_TRUE(platform.SetAttributes(L"C:\\X\\g.txt", kReadOnly));
    EXPECT_FALSE(platform.CopyFileTo(L"C:\\A\\f.txt", L"C:\\X\\g.txt", false));
    EXPECT_FALSE(platform.DeleteFileAt(L"C:\\X\\g.txt"));
    ASSERT_TRUE(platform.SetAttributes(L"C:\\X\\g.txt", 0));
    EXPECT_TRUE(platform.DeleteFileAt(L"C:\\X\\g.txt"));
    EXPECT_TRUE(platform.DeleteFileAt(L"C:\\A\\f.txt"));
    EXPECT_TRUE(platform.RemoveEmptyDirectory(L"C:\\A"));
}

// Paths are split and compared one way for the whole installer.
TEST(WindowsPath, SplitsAndComparesAsWindowsDoes) {
    EXPECT_EQ(services::FolderOf(L"C:\\Instal\\Instalator.exe"), L"C:\\Instal");
    EXPECT_EQ(services::FolderOf(L"D:\\Instalator.exe"), L"D:\\");
    EXPECT_EQ(services::FolderOf(L"\\\\serwer\\udział\\Instalator.exe"), L"\\\\serwer\\udział");
    // Only "\" separates names: a "/" or ":" stays part of the name.
    EXPECT_EQ(services::FileNameOf(L"C:\\Instal\\raport 1/2.txt"), L"raport 1/2.txt");
    EXPECT_EQ(services::FolderOf(L"C:\\Instal/Stare\\Instalator.exe"), L"C:\\Instal/Stare");
    EXPECT_EQ(services::LastNameOf(L"C:\\Dane\\or-vel/"), L"or-vel/");
    // A shortcut's working folder also ends after a drive's ":".
    EXPECT_EQ(services::FolderWithSeparatorOf(L"C:Edytor3.exe"), L"C:");
    EXPECT_EQ(services::FolderWithSeparatorOf(L"C:\\A/b\\Edytor3.exe"), L"C:\\A/b\\");
    EXPECT_EQ(services::LastNameOf(L"C:\\Dane\\or-vel\\"), L"or-vel");
    EXPECT_TRUE(services::EqualIgnoringCase(L"or-VEL", L"OR-Vel"));
    EXPECT_FALSE(services::EqualIgnoringCase(L"OR-Vel2", L"OR-Vel"));
    // A folder with national letters is still recognised by its ASCII name.
    EXPECT_TRUE(services::InstallationPaths::NamesFamilyFolder(L"C:\\źródła\\or-vel łąka"));
    EXPECT_FALSE(services::InstallationPaths::NamesFamilyFolder(L"C:\\źródła\\or vel"));
    EXPECT_EQ(services::ProgramTitleOf(L"C:\\Pobrane\\INSTALATOR.EXE"), L"Instalator");
}

}  // namespace
}  // namespace kanvel::testing

namespace kanvel::testing {
namespace {

TEST_F(HostFileOperations, CopyRefusesPathsLongerThan255Characters) {
    const std::wstring folder = L"C:\\" + std::wstring(200, L'a');
    platform.files().MakeFolders(folder);
    platform.files().WriteFile(L"C:\\src.txt", "x");
    auto pathOfLength = [&](std::size_t length) { return folder + L"\\" + std::wstring(length - folder.size() - 1, L'b'); };
    EXPECT_TRUE(platform.CopyFileTo(L"C:\\src.txt", pathOfLength(255), false));
    EXPECT_FALSE(platform.CopyFileTo(L"C:\\src.txt", pathOfLength(256), false));
    EXPECT_FALSE(platform.CopyFileTo(pathOfLength(256), L"C:\\dst.txt", false));
}

}  // namespace
}  // namespace kanvel::testing

namespace kanvel::testing {
namespace {

// Windows' inheritance as the test platform reproduces it: what the
// installation tests read is only as true as this.
TEST_F(HostFileOperations, FoldersMadeWithoutADescriptorTakeTheDrivesInheritableRights) {
    namespace sids = platform::host::sids;
    auto& security = platform.security();
    const auto user = platform::host::HostSecurity::StandardUserToken(L"S-1-5-21-1-2-3-1002");
    // The root itself: a user may make a folder there, not a file, and may not delete what is there.
    const auto root = security.RightsOf(L"C:\\", user);
    EXPECT_NE(root & platform::host::rights::kAppendData, 0u);
    EXPECT_EQ(root & (platform::host::rights::kWriteData | platform::host::rights::kDeleteChild), 0u);
    // Below it, a folder and a file made without a descriptor: modify, inherited.
    ASSERT_TRUE(platform.MakeDirectory(L"C:\\Bez"));
    platform.files().WriteFile(L"C:\\Bez\\plik.exe", "MZ");
    for (const wchar_t* path : {L"C:\\Bez", L"C:\\Bez\\plik.exe"}) {
        EXPECT_EQ(security.RightsOf(path, user) & platform::host::rights::kModify, platform::host::rights::kModify);
        EXPECT_EQ(security.EffectiveDescriptor(path).owner, security.runningAccount);
    }
    // A protected list takes nothing from above, and what is inside takes it.
    ASSERT_TRUE(platform.MakeDirectory(L"C:\\Chroniony", services::FolderProtection::ForAllUsers()));
    platform.files().WriteFile(L"C:\\Chroniony\\Podfolder\\plik.exe", "MZ");
    for (const wchar_t* path : {L"C:\\Chroniony", L"C:\\Chroniony\\Podfolder", L"C:\\Chroniony\\Podfolder\\plik.exe"}) {
        EXPECT_FALSE(security.MayChange(path, user)) << path;
        EXPECT_EQ(security.RightsOf(path, user), platform::host::rights::kReadAndExecute) << path;
        EXPECT_EQ(security.RightsOf(path, {sids::kAdministrators}), platform::host::rights::kFullControl) << path;
    }
    EXPECT_EQ(security.EffectiveDescriptor(L"C:\\Chroniony").owner, sids::kAdministrators);
}

}  // namespace
}  // namespace kanvel::testing
