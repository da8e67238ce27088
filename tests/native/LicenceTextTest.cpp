#include "pages/licence/LicenceText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <set>
#include <string>
#include <string_view>

#include "pages/licence/ProducerInfo.h"

namespace kanvel::licence {
namespace {

constexpr std::array<std::size_t, 12> kBlankIndexes = {2,   24,  44,  80,  87,  116,
                                                       126, 138, 159, 173, 197, 202};

// Length as Windows counts it: wchar_t is UTF-16 there, UTF-32 here.
std::size_t Utf16Length(std::wstring_view line) {
    std::size_t units = 0;
    for (wchar_t c : line) {
        units += static_cast<unsigned long>(c) > 0xFFFFu ? 2 : 1;
    }
    return units;
}

bool IsBlank(std::wstring_view line) {
    return line.find_first_not_of(L" \t") == std::wstring_view::npos;
}

TEST(LicenceTextTest, HasTheAgreedNumberOfLinesAndWidth) {
    EXPECT_EQ(LicenceLines().size(), 222u);
    EXPECT_EQ(kLicenceLineCount, 222);
    EXPECT_EQ(kLicenceMaxLineLength, 79);
}

TEST(LicenceTextTest, NoLineIsEmptyOrLongerThan79Characters) {
    const auto& lines = LicenceLines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_FALSE(lines[i].empty()) << "line " << i;
        EXPECT_LE(Utf16Length(lines[i]), 79u) << "line " << i;
    }
}

TEST(LicenceTextTest, OpensWithTitleProducerAndNotice) {
    const auto& lines = LicenceLines();
    EXPECT_EQ(lines[0], L"UMOWA LICENCYJNA NA OPROGRAMOWANIE");
    EXPECT_EQ(std::wstring(lines[1]), L"FIRMY: " + std::wstring(kProducerName));
    EXPECT_EQ(lines[1], L"FIRMY: Velmarin Sp. z o.o.");
    EXPECT_EQ(lines[3], L"PROSIMY O UWAŻNE PRZECZYTANIE:");
}

TEST(LicenceTextTest, BlankLinesAreSingleSpacesAtTheAgreedPlacesOnly) {
    const auto& lines = LicenceLines();
    const std::set<std::size_t> expected(kBlankIndexes.begin(), kBlankIndexes.end());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (expected.count(i) != 0) {
            EXPECT_EQ(lines[i], L" ") << "line " << i << " should be blank";
        } else {
            EXPECT_FALSE(IsBlank(lines[i])) << "line " << i << " should not be blank";
        }
    }
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::wstring_view(L" ")), 12);
}

}  // namespace
}  // namespace kanvel::licence
