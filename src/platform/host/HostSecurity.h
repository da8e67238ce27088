#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/host/HostFileSystem.h"
#include "services/system/FolderProtection.h"

namespace kanvel::platform::host {

// Security identifiers as Windows writes them.
namespace sids {
inline constexpr const wchar_t* kEveryone = L"S-1-1-0";
inline constexpr const wchar_t* kInteractive = L"S-1-5-4";
inline constexpr const wchar_t* kAuthenticatedUsers = L"S-1-5-11";
inline constexpr const wchar_t* kSystem = L"S-1-5-18";
inline constexpr const wchar_t* kAdministrators = L"S-1-5-32-544";
inline constexpr const wchar_t* kUsers = L"S-1-5-32-545";
inline constexpr const wchar_t* kTrustedInstaller = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
}  // namespace sids

// Access rights of files and folders (winnt.h's values) and the sets
// Windows' permission dialogs name.
namespace rights {
inline constexpr std::uint32_t kWriteData = 0x2;       // a folder: create files
inline constexpr std::uint32_t kAppendData = 0x4;      // a folder: create folders
inline constexpr std::uint32_t kDeleteChild = 0x40;
inline constexpr std::uint32_t kDelete = 0x10000;
inline constexpr std::uint32_t kReadControl = 0x20000;
inline constexpr std::uint32_t kWriteDac = 0x40000;
inline constexpr std::uint32_t kWriteOwner = 0x80000;
inline constexpr std::uint32_t kFullControl = 0x1f01ff;
inline constexpr std::uint32_t kModify = 0x1301bf;
inline constexpr std::uint32_t kReadAndExecute = 0x1200a9;
}  // namespace rights

// One entry of an access list: whom it allows what, and where it applies:
// to files inside (object inherit), to folders inside (container inherit),
// and not to the object itself (inherit only).
struct AccessEntry {
    std::wstring sid;
    std::uint32_t mask = 0;
    bool objectInherit = false;
    bool containerInherit = false;
    bool inheritOnly = false;
};

struct SecurityDescriptor {
    std::wstring owner;
    std::vector<AccessEntry> entries;
    // True when the access list takes nothing from the folder above.
    bool isProtected = false;
};

// Windows' file security as the test platform keeps it: a descriptor for
// each file and folder that was given one, or whose owner is known; every
// other entry, and every descriptor without a protected list, takes the
// inheritable entries of the folder above, as a file or folder made without
// a security descriptor does on Windows (CreateDirectoryW, CreateFileW). A
// drive's root has Windows 10/11's default descriptor for C:\. Inherited
// entries are worked out when asked for, which gives what Windows holds once
// a change has been carried down the tree.
class HostSecurity {
public:
    explicit HostSecurity(const HostFileSystem& files) : files_(files) {}

    // The account the installer runs as, and whether it runs elevated (an
    // elevated administrator's new files belong to the Administrators).
    std::wstring runningAccount = L"S-1-5-21-3623811015-3361044348-30300820-1001";
    bool elevated = false;

    // The descriptor a protection stands for, the running account named by its SID.
    SecurityDescriptor DescriptorOf(const services::FolderProtection& protection) const;
    // What the installer makes: the descriptor given, or the running
    // account's default owner and the inherited entries alone.
    void Give(const std::wstring& path, SecurityDescriptor descriptor);
    void MadeWithoutDescriptor(const std::wstring& path);
    // The descriptor in effect, inherited entries included (marked by not
    // being in the stored ones).
    SecurityDescriptor EffectiveDescriptor(const std::wstring& path) const;
    // The rights a token holding these SIDs has on the path (the owner's
    // implied rights to read and change the descriptor included).
    std::uint32_t RightsOf(const std::wstring& path, const std::vector<std::wstring>& token) const;
    // True when such a token may change the file or folder: write into it,
    // create in it, delete or replace it, or change its rights or owner.
    bool MayChange(const std::wstring& path, const std::vector<std::wstring>& token) const;

    // The token of a signed-in standard user with this SID: the user, the
    // Users, Authenticated Users, Interactive and Everyone.
    static std::vector<std::wstring> StandardUserToken(const std::wstring& sid);

private:
    std::wstring CreatorOwner() const;
    std::wstring SidOf(services::Trustee trustee) const;
    std::filesystem::path Key(const std::wstring& path) const;
    SecurityDescriptor Effective(const std::filesystem::path& host) const;
    SecurityDescriptor DriveRoot() const;

    const HostFileSystem& files_;
    std::map<std::filesystem::path, SecurityDescriptor> stored_;
};

}  // namespace kanvel::platform::host
