#pragma once

#include <compare>
#include <string_view>

namespace kanvel::services {

// Two releases' versions ("7.0.0", "7.10") in their order: number by number
// from the left, a missing number counting as 0 ("7.0" equals "7.0.0"), so
// that "7.10" comes after "7.9". Text after a number's digits is ignored
// ("7.1-beta" is 7.1); a version without digits counts as 0.
std::strong_ordering CompareDottedVersions(std::wstring_view a, std::wstring_view b);

}  // namespace kanvel::services
