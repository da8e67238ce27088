#include "platform/host/HostSecurity.h"

#include <algorithm>

namespace kanvel::platform::host {

namespace fs = std::filesystem;

namespace {
std::uint32_t MaskOf(services::FolderRights granted) {
    switch (granted) {
        case services::FolderRights::FullControl: return rights::kFullControl;
        case services::FolderRights::Modify: return rights::kModify;
        case services::FolderRights::ReadAndExecute: return rights::kReadAndExecute;
    }
    return 0;
}

bool Holds(const std::vector<std::wstring>& token, const std::wstring& sid) {
    return std::find(token.begin(), token.end(), sid) != token.end();
}

// What an entry of the folder above gives a folder or file inside, if anything.
void Inherit(const AccessEntry& entry, bool toFolder, std::vector<AccessEntry>& into) {
    if (toFolder && entry.containerInherit)
        into.push_back({entry.sid, entry.mask, entry.objectInherit, true, false});
    else if (toFolder && entry.objectInherit)
        into.push_back({entry.sid, entry.mask, true, false, true});  // carried on to the files below
    else if (!toFolder && entry.objectInherit)
        into.push_back({entry.sid, entry.mask});
}
}  // namespace

std::wstring HostSecurity::CreatorOwner() const { return elevated ? sids::kAdministrators : runningAccount; }

std::wstring HostSecurity::SidOf(services::Trustee trustee) const {
    switch (trustee) {
        case services::Trustee::RunningAccount: return runningAccount;
        case services::Trustee::System: return sids::kSystem;
        case services::Trustee::Administrators: return sids::kAdministrators;
        case services::Trustee::Users: return sids::kUsers;
    }
    return runningAccount;
}

SecurityDescriptor HostSecurity::DescriptorOf(const services::FolderProtection& protection) const {
    SecurityDescriptor descriptor{SidOf(protection.owner), {}, true};
    for (const auto& entry : protection.entries)
        descriptor.entries.push_back({SidOf(entry.trustee), MaskOf(entry.rights), true, true, false});
    return descriptor;
}

fs::path HostSecurity::Key(const std::wstring& path) const { return files_.ToHost(path).lexically_normal(); }

void HostSecurity::Give(const std::wstring& path, SecurityDescriptor descriptor) {
    stored_[Key(path)] = std::move(descriptor);
}

void HostSecurity::MadeWithoutDescriptor(const std::wstring& path) { stored_[Key(path)] = {CreatorOwner(), {}, false}; }

// Windows 10/11's C:\ (icacls): Administrators and SYSTEM (OI)(CI)(F),
// Users (OI)(CI)(RX), Authenticated Users (OI)(CI)(IO)(M) and, on the root
// itself, (AD): any signed-in user may make a folder there, and modify
// everything below that does not shut out what it inherits.
SecurityDescriptor HostSecurity::DriveRoot() const {
    return {sids::kSystem,
            {{sids::kAdministrators, rights::kFullControl, true, true, false},
             {sids::kSystem, rights::kFullControl, true, true, false},
             {sids::kUsers, rights::kReadAndExecute, true, true, false},
             {sids::kAuthenticatedUsers, rights::kModify, true, true, true},
             {sids::kAuthenticatedUsers, rights::kAppendData, false, false, false}},
            true};
}

SecurityDescriptor HostSecurity::Effective(const fs::path& host) const {
    const fs::path relative = host.lexically_relative(files_.root());
    if (relative.empty() || *relative.begin() == ".." || std::distance(relative.begin(), relative.end()) <= 1)
        return DriveRoot();
    const auto stored = stored_.find(host);
    SecurityDescriptor result =
        stored == stored_.end() ? SecurityDescriptor{CreatorOwner(), {}, false} : stored->second;
    if (result.isProtected) return result;
    std::error_code ec;
    const bool folder = fs::is_directory(fs::symlink_status(host, ec));
    for (const auto& entry : Effective(host.parent_path()).entries) Inherit(entry, folder, result.entries);
    return result;
}

SecurityDescriptor HostSecurity::EffectiveDescriptor(const std::wstring& path) const { return Effective(Key(path)); }

std::uint32_t HostSecurity::RightsOf(const std::wstring& path, const std::vector<std::wstring>& token) const {
    const SecurityDescriptor descriptor = EffectiveDescriptor(path);
    std::uint32_t granted = Holds(token, descriptor.owner) ? rights::kReadControl | rights::kWriteDac : 0;
    for (const auto& entry : descriptor.entries)
        if (!entry.inheritOnly && Holds(token, entry.sid)) granted |= entry.mask;
    return granted;
}

bool HostSecurity::MayChange(const std::wstring& path, const std::vector<std::wstring>& token) const {
    constexpr std::uint32_t kChanging =
        rights::kWriteData | rights::kAppendData | rights::kDelete | rights::kWriteDac | rights::kWriteOwner;
    if (RightsOf(path, token) & kChanging) return true;
    // Whoever may delete what a folder holds may replace this entry.
    const std::wstring parent = path.substr(0, path.find_last_of(L'\\'));
    return parent != path && (RightsOf(parent, token) & rights::kDeleteChild) != 0;
}

std::vector<std::wstring> HostSecurity::StandardUserToken(const std::wstring& sid) {
    return {sid, sids::kUsers, sids::kAuthenticatedUsers, sids::kInteractive, sids::kEveryone};
}

}  // namespace kanvel::platform::host
