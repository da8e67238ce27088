#include "InstallerHarness.h"
#include "services/paths/CopyOver.h"

namespace kanvel::testing {
namespace {

using services::CopyOverResult;
namespace fs = std::filesystem;

class CopyOverTest : public ::testing::Test {
protected:
    TempTree tree;
    platform::host::EventLog log;
    platform::host::HostPlatform platform{tree.path(), log};
    const std::wstring source = L"C:\\OR-Vel\\Format\\Bkp6\\baza1.db";
    const std::wstring target = L"C:\\OR-Vel\\Format\\Dbf6\\baza1.db";
    const std::wstring beside = L"C:\\OR-Vel\\Format\\Dbf6\\baza1.d~";

    void SetUp() override {
        platform.files().WriteFile(source, "pristine");
        platform.files().WriteFile(target, "edited by the user");
    }
    bool ReadOnly(const std::wstring& path) { return (*platform.Attributes(path) & 1) != 0; }
    bool NothingBeside() { return !fs::exists(fs::symlink_status(platform.files().ToHost(beside))); }
};

TEST_F(CopyOverTest, TheCopyTakesTheTablesPlaceReadOnlyOrNot) {
    platform.SetAttributes(target, 1);
    EXPECT_EQ(services::CopyOver(platform, source, target), CopyOverResult::Replaced);
    EXPECT_EQ(platform.files().ReadFile(target), "pristine");
    EXPECT_TRUE(NothingBeside());
    EXPECT_EQ(services::CopyBesidePath(target).size(), target.size());
}

// Whatever fails, the user's table is as it was (content and read-only
// attribute) and the copy beside it is gone.
TEST_F(CopyOverTest, AFailureLeavesTheTableAsItWas) {
    platform.SetAttributes(target, 1);
    platform.lockedFiles.push_back(target);
    EXPECT_EQ(services::CopyOver(platform, source, target), CopyOverResult::ReplaceFailed);
    EXPECT_EQ(platform.files().ReadFile(target), "edited by the user");
    EXPECT_TRUE(ReadOnly(target));
    EXPECT_TRUE(NothingBeside());

    platform.lockedFiles.clear();
    platform.DeleteFileAt(source);
    EXPECT_EQ(services::CopyOver(platform, source, target), CopyOverResult::CopyFailed);
    EXPECT_EQ(platform.files().ReadFile(target), "edited by the user");
    EXPECT_TRUE(NothingBeside());
}

// A link planted where the copy goes is taken away as the link; the copy
// never writes through it.
TEST_F(CopyOverTest, ALinkPlantedWhereTheCopyGoesIsNeverWrittenThrough) {
    platform.files().WriteFile(L"D:\\inny.db", "another program's table");
    fs::create_symlink(platform.files().ToHost(L"D:\\inny.db"), platform.files().ToHost(beside));
    EXPECT_EQ(services::CopyOver(platform, source, target), CopyOverResult::Replaced);
    EXPECT_EQ(platform.files().ReadFile(L"D:\\inny.db"), "another program's table");
    EXPECT_EQ(platform.files().ReadFile(target), "pristine");
}

}  // namespace
}  // namespace kanvel::testing
