#include "platform/win32/http/SystemAccount.h"

#include <windows.h>

#include <vector>

#include "platform/win32/ResourceHolders.h"

namespace kanvel::platform::win32 {

bool RunsAsSystemAccount() {
    KernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return false;
    std::vector<unsigned char> buffer(size);
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return false;
    const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
    return IsWellKnownSid(user->User.Sid, WinLocalSystemSid) != FALSE;
}

}  // namespace kanvel::platform::win32
