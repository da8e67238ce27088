#pragma once

#include <string>

namespace kanvel::platform::host {

// Conversions at the POSIX edge, done by the C library's iconv.
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);
// The Windows ANSI code page of a Polish system (windows-1250).
std::string ToAnsi(const std::wstring& text);

}  // namespace kanvel::platform::host
