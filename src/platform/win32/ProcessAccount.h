#pragma once

#include <windows.h>

#include <string>

namespace kanvel::platform::win32 {

// The security identifier of the user an access token (opened with
// TOKEN_QUERY) names, as ConvertSidToStringSidW writes it ("S-1-5-21-...");
// empty when the token cannot be read.
std::wstring AccountIdOf(HANDLE token);

// The same for this process's own token.
std::wstring ThisProcessAccountId();

}  // namespace kanvel::platform::win32
