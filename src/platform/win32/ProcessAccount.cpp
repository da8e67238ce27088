#include "platform/win32/ProcessAccount.h"

#include <sddl.h>

#include <cstdint>
#include <vector>

#include "platform/win32/ResourceHolders.h"

namespace kanvel::platform::win32 {

std::wstring AccountIdOf(HANDLE token) {
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    if (size == 0) return std::wstring();
    // Kept in 8-byte units: TOKEN_USER holds a pointer.
    std::vector<std::uint64_t> buffer((size + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
    if (!GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return std::wstring();
    const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(user->User.Sid, &text)) return std::wstring();
    const LocalMemory<wchar_t*> held(text);
    return text;
}

std::wstring ThisProcessAccountId() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::wstring();
    const KernelHandle held(token);
    return AccountIdOf(token);
}

}  // namespace kanvel::platform::win32
