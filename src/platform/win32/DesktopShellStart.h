#pragma once

#include <string>

namespace kanvel::platform::win32 {

// True when this process runs with an elevated token (an administrator's
// full rights, after a consent or credentials prompt, or as SYSTEM).
bool ThisProcessIsElevated();

// Has the shell of the signed-in user's desktop (Explorer) start the program,
// so that it runs as that user and unelevated, whoever this process runs as.
// This is the way Windows' own documentation and its shell team give for an
// elevated program: the desktop's folder view, reached through the shell
// windows, and its IShellDispatch2::ShellExecute. The shell windows object is
// taken from a local server only: one loaded into this process would start
// the program as this process. Returns once the shell has answered; false
// when there is no such shell (no desktop, another session, a system
// without Explorer) or it refused.
bool StartThroughDesktopShell(const std::wstring& file, const std::wstring& directory);

}  // namespace kanvel::platform::win32
