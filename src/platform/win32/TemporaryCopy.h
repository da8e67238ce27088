#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kanvel::platform::win32 {

// The two phases of a run started from the installer copy kept in an
// installation, which cannot delete its own file while it runs (see
// services::Processes::RunFromTemporaryCopy). The first phase
// copies the program into a new folder of the user's temporary folder and
// starts the copy; the token the copy gets names, in hexadecimal, handles it
// inherits: the first phase's process (to wait for its end) and, when the
// first phase waits for the outcome, the writing end of a pipe that carries
// the exit code back.
std::optional<int> RunFromTemporaryCopy(const std::wstring& executable, const std::vector<std::wstring>& arguments,
                                        const std::wstring& tokenOption, bool waitForOutcome);
void ReportToFirstPhase(const std::wstring& token, int exitCode);
bool WaitForFirstPhase(const std::wstring& token);

// An argument quoted so that CommandLineToArgvW gives it back unchanged.
std::wstring QuotedArgument(const std::wstring& argument);

}  // namespace kanvel::platform::win32
