#include "services/installer/DottedVersion.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace kanvel::services {

namespace {
// A number too long to hold stays at the largest one.
constexpr std::uint64_t kLargest = std::numeric_limits<std::uint64_t>::max();

// The numbers of a version, each from the digits at the start of its part.
std::vector<std::uint64_t> NumbersOf(std::wstring_view version) {
    std::vector<std::uint64_t> numbers;
    std::size_t start = 0;
    while (start <= version.size()) {
        const std::size_t dot = std::min(version.find(L'.', start), version.size());
        std::uint64_t number = 0;
        for (std::size_t i = start; i < dot && version[i] >= L'0' && version[i] <= L'9'; ++i)
            number = number > kLargest / 10 - 1 ? kLargest : number * 10 + static_cast<std::uint64_t>(version[i] - L'0');
        numbers.push_back(number);
        start = dot + 1;
    }
    return numbers;
}
}  // namespace

std::strong_ordering CompareDottedVersions(std::wstring_view a, std::wstring_view b) {
    const auto left = NumbersOf(a);
    const auto right = NumbersOf(b);
    for (std::size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
        const std::uint64_t x = i < left.size() ? left[i] : 0;
        const std::uint64_t y = i < right.size() ? right[i] : 0;
        if (x != y) return x <=> y;
    }
    return std::strong_ordering::equal;
}

}  // namespace kanvel::services
