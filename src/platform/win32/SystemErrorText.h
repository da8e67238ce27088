#pragma once

#include <windows.h>

#include <string>

namespace kanvel::platform::win32 {

// The system's description of an error code (a GetLastError value or an
// HRESULT), as FormatMessageW gives it in the user's language, without the
// line break it ends with. Empty when the system has no text for the code.
std::wstring SystemErrorText(DWORD code);

}  // namespace kanvel::platform::win32
