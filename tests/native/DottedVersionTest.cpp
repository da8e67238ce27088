#include <gtest/gtest.h>

#include "services/installer/DottedVersion.h"

namespace kanvel::testing {
namespace {

using services::CompareDottedVersions;

// Versions compare as numbers, part by part: text order would put 7.10 before 7.9.
TEST(DottedVersionTest, VersionsCompareNumberByNumber) {
    EXPECT_TRUE(CompareDottedVersions(L"7.10", L"7.9") > 0);
    EXPECT_TRUE(CompareDottedVersions(L"7.0.0", L"7.0.1") < 0);
    EXPECT_TRUE(CompareDottedVersions(L"8", L"7.99.99") > 0);
    EXPECT_TRUE(CompareDottedVersions(L"6.9.9", L"7.0.0") < 0);
    EXPECT_TRUE(CompareDottedVersions(L"7.0.0.1", L"7.0.0") > 0);
}

TEST(DottedVersionTest, MissingPartsCountAsZeroAndTextAfterDigitsIsIgnored) {
    EXPECT_TRUE(CompareDottedVersions(L"7.0", L"7.0.0") == 0);
    EXPECT_TRUE(CompareDottedVersions(L"7", L"7.0.0.0") == 0);
    EXPECT_TRUE(CompareDottedVersions(L"7.1-beta", L"7.1") == 0);
    EXPECT_TRUE(CompareDottedVersions(L"", L"0") == 0);
    EXPECT_TRUE(CompareDottedVersions(L"", L"7.0.0") < 0);
    // A number too long to hold still counts as the largest, not as a wrapped small one.
    EXPECT_TRUE(CompareDottedVersions(L"99999999999999999999999", L"7.0.0") > 0);
}

}  // namespace
}  // namespace kanvel::testing
