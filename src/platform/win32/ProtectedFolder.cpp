#include "platform/win32/ProtectedFolder.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include "platform/win32/FinalPath.h"
#include "platform/win32/PrivateFolder.h"
#include "platform/win32/ResourceHolders.h"

namespace kanvel::platform::win32 {

namespace {
using services::FolderAdoption;
using services::FolderProtection;
using services::FolderRights;
using services::Trustee;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// What the account may do with the entry, whatever it is: its own files
// allow it to change their rights, not to take their ownership.
constexpr DWORD kAdoptionAccess = MAXIMUM_ALLOWED;
// The owner Windows gives its own files (C:\Windows, C:\Program Files\...).
constexpr const wchar_t* kTrustedInstaller = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
// Entry flags: applied to the folder and inherited by files and folders;
// as a folder inside inherits them; as a file inside inherits them.
constexpr const wchar_t* kOnFolderAndInside = L"OICI";
constexpr const wchar_t* kInheritedByFolder = L"OICIID";
constexpr const wchar_t* kInheritedByFile = L"ID";

constexpr const wchar_t* kSystem = L"S-1-5-18";
constexpr const wchar_t* kAdministrators = L"S-1-5-32-544";

std::wstring SidText(Trustee trustee, const std::wstring& account) {
    switch (trustee) {
        case Trustee::RunningAccount: return account;
        case Trustee::System: return kSystem;
        case Trustee::Administrators: return kAdministrators;
        case Trustee::Users: return L"S-1-5-32-545";
    }
    return account;
}

// The rights as Windows' permission dialogs grant them (icacls F, M, RX).
std::wstring RightsText(FolderRights rights) {
    switch (rights) {
        case FolderRights::FullControl: return L"FA";
        case FolderRights::Modify: return L"0x1301bf";
        case FolderRights::ReadAndExecute: return L"0x1200a9";
    }
    return L"0x1200a9";
}

// The descriptor with the given entry flags after the owner and the
// access list's own flags ("P" protected, "AI" taking inherited entries).
std::wstring DescriptorText(const FolderProtection& protection, const std::wstring& account, const wchar_t* listFlags,
                            const wchar_t* entryFlags) {
    std::wstring text = L"O:" + SidText(protection.owner, account) + L"D:" + listFlags;
    for (const auto& entry : protection.entries)
        text += L"(A;" + std::wstring(entryFlags) + L";" + RightsText(entry.rights) + L";;;" +
                SidText(entry.trustee, account) + L")";
    return text;
}

bool SetDescriptor(HANDLE object, const std::wstring& text, SECURITY_INFORMATION parts) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    const LocalMemory<PSECURITY_DESCRIPTOR> ownDescriptor(descriptor);
    return SetKernelObjectSecurity(object, parts, descriptor) != 0;
}

FileHandle OpenWithoutFollowing(const std::wstring& path) {
    return FileHandle(CreateFileW(path.c_str(), kAdoptionAccess, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// The owner of the object in its text form; empty when it cannot be read.
std::wstring OwnerOf(HANDLE object) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS)
        return std::wstring();
    const LocalMemory<PSECURITY_DESCRIPTOR> ownDescriptor(descriptor);
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(owner, &text)) return std::wstring();
    const LocalMemory<wchar_t*> ownText(text);
    return text;
}

// True when the running account, the Administrators, SYSTEM or
// TrustedInstaller owns the object: no one else could have made it.
bool OwnedByTrustedAccount(HANDLE object, const std::wstring& account) {
    const std::wstring owner = OwnerOf(object);
    return !owner.empty() && (owner == account || owner == kAdministrators || owner == kSystem || owner == kTrustedInstaller);
}

// The access list, and the owner when it is another: taking ownership needs
// a right that an account's own files do not give it.
SECURITY_INFORMATION PartsToWrite(HANDLE object, const std::wstring& owner, SECURITY_INFORMATION list) {
    return OwnerOf(object) == owner ? list : list | OWNER_SECURITY_INFORMATION;
}

bool NamesReparsePoint(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

struct InheritedDescriptors {
    std::wstring owner;
    std::wstring folder;
    std::wstring file;
};

// Gives every entry below the folder the owner and the entries it inherits,
// from the top down; refuses (and stops) at a link, a junction or a file with
// more than one name, which lead outside the folder.
FolderAdoption ResetInside(const std::wstring& folder, const InheritedDescriptors& inherited) {
    WIN32_FIND_DATAW found;
    const FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!search) return FolderAdoption::Failed;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (NamesReparsePoint(found.dwFileAttributes)) return FolderAdoption::LinkInside;
        const std::wstring path = folder + L"\\" + name;
        const FileHandle entry = OpenWithoutFollowing(path);
        BY_HANDLE_FILE_INFORMATION information;
        if (!entry || !GetFileInformationByHandle(entry.get(), &information)) return FolderAdoption::Failed;
        if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return FolderAdoption::LinkInside;
        const bool isFolder = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!isFolder && information.nNumberOfLinks > 1) return FolderAdoption::LinkInside;
        if (!SetDescriptor(entry.get(), isFolder ? inherited.folder : inherited.file,
                           PartsToWrite(entry.get(), inherited.owner,
                                        DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION)))
            return FolderAdoption::Failed;
        if (isFolder) {
            const FolderAdoption below = ResetInside(path, inherited);
            if (below != FolderAdoption::Protected) return below;
        }
    } while (FindNextFileW(search.get(), &found));
    return GetLastError() == ERROR_NO_MORE_FILES ? FolderAdoption::Protected : FolderAdoption::Failed;
}
}  // namespace

std::wstring ProtectionDescriptor(const FolderProtection& protection, const std::wstring& account) {
    return DescriptorText(protection, account, L"P", kOnFolderAndInside);
}

bool CreateProtectedFolder(const std::wstring& path, const FolderProtection& protection) {
    const std::wstring account = RunningAccountSid();
    if (account.empty()) return false;
    return CreateFolderDescribedBy(path, ProtectionDescriptor(protection, account));
}

FolderAdoption AdoptProtectedFolder(const std::wstring& path, const FolderProtection& protection) {
    // Wine opens a link as its target even with FILE_FLAG_OPEN_REPARSE_POINT,
    // but names it a reparse point by its name; Windows says so on both.
    if (NamesReparsePoint(GetFileAttributesW(path.c_str()))) return FolderAdoption::Link;
    const std::wstring account = RunningAccountSid();
    const FileHandle folder = OpenWithoutFollowing(path);
    BY_HANDLE_FILE_INFORMATION information;
    if (account.empty() || !folder || !GetFileInformationByHandle(folder.get(), &information))
        return FolderAdoption::Failed;
    if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return FolderAdoption::Link;
    if (!(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return FolderAdoption::Failed;
    // A junction or mount point on the way there leads elsewhere as well.
    const auto real = FinalPathOf(folder.get());
    std::wstring asGiven = path;
    while (asGiven.size() > 3 && asGiven.back() == L'\\') asGiven.pop_back();
    if (!real || !SamePath(*real, asGiven)) return FolderAdoption::Link;
    if (!OwnedByTrustedAccount(folder.get(), account)) return FolderAdoption::ForeignOwner;
    const std::wstring owner = SidText(protection.owner, account);
    if (!SetDescriptor(folder.get(), ProtectionDescriptor(protection, account),
                       PartsToWrite(folder.get(), owner, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION)))
        return FolderAdoption::Failed;
    return ResetInside(asGiven, {owner, DescriptorText(protection, account, L"AI", kInheritedByFolder),
                                 DescriptorText(protection, account, L"AI", kInheritedByFile)});
}

}  // namespace kanvel::platform::win32
