#pragma once

#include <string_view>

namespace kanvel::licence {

// The producer of Kanvel, as the pages and the licence agreement show it.
// All of it is fictitious: the web address is in the reserved .example
// domain, and a Polish number never starts with 0 after +48, so the phone
// numbers cannot ring anyone.

inline constexpr std::wstring_view kProducerName = L"Velmarin Sp. z o.o.";

inline constexpr std::wstring_view kProducerWebAddress = L"www.velmarin.example";
inline constexpr std::wstring_view kProducerWebUrl = L"http://www.velmarin.example/";

// Shown as they are, each in a 183-pixel box: keep them short.
inline constexpr std::wstring_view kProducerPhone1 = L"tel. +48 000 100 200";
inline constexpr std::wstring_view kProducerPhone2 = L"tel. +48 000 100 201";

inline constexpr std::wstring_view kSupportEmail = L"pomoc@velmarin.example";

}  // namespace kanvel::licence
