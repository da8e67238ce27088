#include "services/TransientFailure.h"

#include <algorithm>
#include <array>

namespace kanvel::services {

namespace {
constexpr std::wstring_view kSocketErrorPrefix = L"Socket Error # ";
constexpr std::wstring_view kStatusLinePrefix = L"HTTP/";
// Connection aborted, reset, timed out, refused.
constexpr std::array kTransientSocketErrors{10053, 10054, 10060, 10061};
constexpr std::array kTransientStatusCodes{408, 429, 502, 503, 504};

// The number that starts the text, or -1.
int LeadingNumber(std::wstring_view text) {
    int number = -1;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') break;
        number = std::max(number, 0) * 10 + (c - L'0');
        if (number > 100000) return -1;
    }
    return number;
}

bool Contains(const auto& list, int value) { return std::find(list.begin(), list.end(), value) != list.end(); }
}  // namespace

bool IsTransientFailure(std::wstring_view errorText) {
    if (errorText.starts_with(kSocketErrorPrefix))
        return Contains(kTransientSocketErrors, LeadingNumber(errorText.substr(kSocketErrorPrefix.size())));
    if (!errorText.starts_with(kStatusLinePrefix)) return false;
    const std::size_t space = errorText.find(L' ');
    if (space == std::wstring_view::npos) return false;
    return Contains(kTransientStatusCodes, LeadingNumber(errorText.substr(space + 1)));
}

}  // namespace kanvel::services
