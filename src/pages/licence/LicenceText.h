#pragma once

#include <array>
#include <string_view>

namespace kanvel::licence {

inline constexpr int kLicenceLineCount = 222;

// The licence list does not wrap: every line is wrapped by hand to at most
// this many characters (UTF-16 code units).
inline constexpr int kLicenceMaxLineLength = 79;

// The licence agreement, one entry per line shown in the licence list.
// A blank line is a single space, never an empty string.
const std::array<std::wstring_view, kLicenceLineCount>& LicenceLines();

}  // namespace kanvel::licence
