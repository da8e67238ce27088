#include "services/trust/Sha256Digest.h"

namespace kanvel::services {

std::wstring HexOf(const Sha256& digest) {
    constexpr const wchar_t* kDigits = L"0123456789abcdef";
    std::wstring text;
    text.reserve(digest.size() * 2);
    for (const std::uint8_t byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

}  // namespace kanvel::services
