#include "services/trust/PublisherList.h"

#include <algorithm>

namespace kanvel::services {

namespace {
constexpr wchar_t kSeparator = L';';

bool Ignored(wchar_t c) { return c == L':' || c == L' ' || c == L'\t'; }

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// One value: exactly 64 hexadecimal digits once colons and blanks are gone.
std::optional<Sha256> ParseDigest(std::wstring_view text) {
    Sha256 digest{};
    std::size_t digits = 0;
    for (wchar_t c : text) {
        if (Ignored(c)) continue;
        const int value = HexValue(c);
        if (value < 0 || digits == digest.size() * 2) return std::nullopt;
        digest[digits / 2] = static_cast<std::uint8_t>(digest[digits / 2] << 4 | value);
        ++digits;
    }
    if (digits != digest.size() * 2) return std::nullopt;
    return digest;
}

bool Blank(std::wstring_view text) { return std::ranges::all_of(text, Ignored); }
}  // namespace

std::optional<PublisherList> PublisherList::Parse(std::wstring_view text) {
    PublisherList list;
    for (;;) {
        const std::size_t end = text.find(kSeparator);
        const std::wstring_view value = text.substr(0, end);
        if (!Blank(value)) {
            const auto digest = ParseDigest(value);
            if (!digest) return std::nullopt;
            list.signers_.push_back(*digest);
        }
        if (end == std::wstring_view::npos) return list;
        text.remove_prefix(end + 1);
    }
}

bool PublisherList::Contains(const Sha256& signer) const { return std::ranges::find(signers_, signer) != signers_.end(); }

}  // namespace kanvel::services
