#include "platform/win32/PrivateFolder.h"

#include <windows.h>
#include <sddl.h>

#include <vector>

#include "platform/win32/ResourceHolders.h"

namespace kanvel::platform::win32 {

namespace {
// Full control for the account, SYSTEM and the Administrators, for the folder
// and inherited by its files and folders; "P" keeps the parent's entries out.
constexpr const wchar_t* kSystem = L"SY";
constexpr const wchar_t* kAdministrators = L"BA";

std::wstring FullControlFor(const std::wstring& trustee) { return L"(A;OICI;FA;;;" + trustee + L")"; }

// The descriptor in Windows' SDDL text: owned by the account, the three
// trustees' entries alone.
std::wstring PrivateFolderDescriptor(const std::wstring& account) {
    return L"O:" + account + L"D:P" + FullControlFor(account) + FullControlFor(kSystem) + FullControlFor(kAdministrators);
}
}  // namespace

std::wstring RunningAccountSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::wstring();
    const KernelHandle ownToken(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    if (size == 0) return std::wstring();
    std::vector<unsigned char> buffer(size);
    if (!GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return std::wstring();
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid, &text)) return std::wstring();
    const LocalMemory<wchar_t*> ownText(text);
    return text;
}

bool CreatePrivateFolder(const std::wstring& path) {
    const std::wstring account = RunningAccountSid();
    if (account.empty()) return false;
    return CreateFolderDescribedBy(path, PrivateFolderDescriptor(account));
}

bool CreateFolderDescribedBy(const std::wstring& path, const std::wstring& text) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    const LocalMemory<PSECURITY_DESCRIPTOR> ownDescriptor(descriptor);
    SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), descriptor, FALSE};
    return CreateDirectoryW(path.c_str(), &attributes) != 0;
}

}  // namespace kanvel::platform::win32
