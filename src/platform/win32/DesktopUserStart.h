#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kanvel::platform::win32 {

// A run elevated with another account's credentials (a standard user's
// elevation prompt answered with an administrator's name and password) runs
// as that other account. The user signed in at the screen is the one whose
// desktop shell (Explorer, the owner of the shell window) runs in this
// session; its process token names that user.

// The security identifier of the desktop shell's user; empty when there is
// no shell window or its token cannot be read.
std::wstring DesktopShellAccountId();

// Starts the program with the arguments under a copy of the desktop shell's
// token (CreateProcessWithTokenW: that user, unelevated, on this desktop, with
// that user's environment), waits for it and returns its exit code; nothing
// when it could not be started.
std::optional<int> RunAsDesktopShellUser(const std::wstring& executable, const std::vector<std::wstring>& arguments);

}  // namespace kanvel::platform::win32
