#include <gtest/gtest.h>

#include <set>

#include "pages/install/DatabaseFileSets.h"
#include "pages/install/WorkingTablePolicy.h"

namespace kanvel::testing {
namespace {

using install::WorkingTablePolicy;

const std::wstring kFolder = L"D:\\OR-Vel\\Format\\Zestaw";
// The statement set's tables in slot order (its empty slot left out).
const std::vector<std::wstring> kEveryTable{L"zestaw1.db", L"zestaw2.db", L"zestaw3.db", L"zestaw4.db", L"zestaw5.db",
                                            L"zestaw6.db", L"zestaw1.px", L"zestaw2.px", L"zestaw5.px"};

// The users' working tables that exist already: two of the set's.
WorkingTablePolicy::Selection SelectWithTwoExisting(const WorkingTablePolicy& policy) {
    const std::set<std::wstring> existing{kFolder + L"\\zestaw2.db", kFolder + L"\\zestaw1.px"};
    return policy.Select(install::kStatementSet, kFolder,
                         [&](const std::wstring& path) { return existing.count(path) > 0; });
}

TEST(WorkingTablePolicy, TheWindowAndAResetTakeEveryTableAndNameTheExistingOnesReplaced) {
    for (const auto& policy : {WorkingTablePolicy(), WorkingTablePolicy::WithoutWindow(true)}) {
        EXPECT_TRUE(policy.ReplacesExisting());
        const auto selection = SelectWithTwoExisting(policy);
        EXPECT_EQ(selection.names, kEveryTable);
        EXPECT_EQ(selection.replaced, (std::vector<std::wstring>{kFolder + L"\\zestaw2.db", kFolder + L"\\zestaw1.px"}));
    }
}

TEST(WorkingTablePolicy, WithoutAWindowTheUsersExistingTablesAreKept) {
    const auto policy = WorkingTablePolicy::WithoutWindow(false);
    EXPECT_FALSE(policy.ReplacesExisting());
    const auto selection = SelectWithTwoExisting(policy);
    EXPECT_EQ(selection.names, (std::vector<std::wstring>{L"zestaw1.db", L"zestaw3.db", L"zestaw4.db", L"zestaw5.db",
                                                          L"zestaw6.db", L"zestaw2.px", L"zestaw5.px"}));
    EXPECT_TRUE(selection.replaced.empty());
}

}  // namespace
}  // namespace kanvel::testing
