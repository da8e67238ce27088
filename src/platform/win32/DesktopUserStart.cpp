#include "platform/win32/DesktopUserStart.h"

#include <windows.h>

#include "platform/win32/ProcessAccount.h"
#include "platform/win32/ResourceHolders.h"
#include "platform/win32/TemporaryCopy.h"
#include "services/paths/WindowsPath.h"

namespace kanvel::platform::win32 {

namespace {
// The token of the process that owns the desktop's shell window, opened with
// the access asked for; empty when there is none.
KernelHandle ShellToken(DWORD access) {
    const HWND shellWindow = GetShellWindow();
    DWORD shellProcessId = 0;
    if (shellWindow == nullptr || GetWindowThreadProcessId(shellWindow, &shellProcessId) == 0 || shellProcessId == 0)
        return KernelHandle();
    const KernelHandle shell(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellProcessId));
    HANDLE token = nullptr;
    if (!shell || !OpenProcessToken(shell.get(), access, &token)) return KernelHandle();
    return KernelHandle(token);
}
}  // namespace

std::wstring DesktopShellAccountId() {
    const KernelHandle token = ShellToken(TOKEN_QUERY);
    return token ? AccountIdOf(token.get()) : std::wstring();
}

std::optional<int> RunAsDesktopShellUser(const std::wstring& executable, const std::vector<std::wstring>& arguments) {
    const KernelHandle shellToken = ShellToken(TOKEN_DUPLICATE);
    if (!shellToken) return std::nullopt;
    HANDLE primary = nullptr;
    if (!DuplicateTokenEx(shellToken.get(),
                          TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY | TOKEN_ADJUST_DEFAULT |
                              TOKEN_ADJUST_SESSIONID,
                          nullptr, SecurityImpersonation, TokenPrimary, &primary))
        return std::nullopt;
    const KernelHandle userToken(primary);
    std::wstring commandLine = QuotedArgument(executable);
    for (const auto& argument : arguments) commandLine += L" " + QuotedArgument(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    const std::wstring folder = services::FolderOf(executable);
    if (!CreateProcessWithTokenW(userToken.get(), 0, executable.c_str(), commandLine.data(), 0, nullptr,
                                 folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        return std::nullopt;
    const KernelHandle process(started.hProcess);
    const KernelHandle thread(started.hThread);
    DWORD exitCode = 0;
    if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 || !GetExitCodeProcess(process.get(), &exitCode))
        return std::nullopt;
    return static_cast<int>(exitCode);
}

}  // namespace kanvel::platform::win32
