#include "InstallerHarness.h"

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
    EXPECT_TRUE(platform.DeleteFileAt(L"C:\\A\\f.txt"));
    EXPECT_TRUE(platform.RemoveEmptyDirectory(L"C:\\A"));
}

TEST_F(HostFileOperations, UpperCaseTakesNationalLetters) {
    EXPECT_EQ(platform.UpperCase(L"c:\\źródła\\or-vel łąka"), L"C:\\ŹRÓDŁA\\OR-VEL ŁĄKA");
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
