#include "pages/install/EditionEntry.h"

#include "pages/install/UninstallEntry.h"
#include "services/paths/InstallationPaths.h"
#include "services/paths/WindowsPath.h"

namespace kanvel::install {

namespace {
constexpr std::size_t kDriveRootLength = 3;  // "C:\"

// An entry written before the installer kept its location: the folder
// above the family folder its InstallLocation names, a drive as "C:".
std::wstring LocationAbove(const std::wstring& installFolder) {
    std::wstring location = services::FolderOf(installFolder);
    if (location.size() == kDriveRootLength && location.back() == L'\\') location.pop_back();
    return location;
}
}  // namespace

std::optional<EditionEntry> EditionEntry::Read(services::RegistryAccess& registry, const std::wstring& editionName,
                                               services::InstallScope scope) {
    using services::InstallationPaths;
    const auto root = InstallationPaths::RegistryRootOf(scope);
    const std::wstring key = InstallationPaths::UninstallKeyOf(editionName);
    const auto installFolder = registry.ReadRegistryText(root, key, kEntryInstallLocation);
    if (!installFolder || installFolder->empty()) return std::nullopt;
    EditionEntry entry;
    entry.scope = scope;
    entry.location = registry.ReadRegistryText(root, key, kEntryLocation).value_or(LocationAbove(*installFolder));
    entry.version = registry.ReadRegistryText(root, key, kEntryDisplayVersion).value_or(std::wstring());
    entry.components = registry.ReadRegistryText(root, key, kEntryComponents);
    entry.shortcuts = registry.ReadRegistryText(root, key, kEntryShortcuts);
    return entry;
}

std::optional<EditionEntry> EditionEntry::Find(services::RegistryAccess& registry, const std::wstring& editionName,
                                               services::InstallScope first) {
    using services::InstallScope;
    if (auto entry = Read(registry, editionName, first)) return entry;
    const InstallScope other = first == InstallScope::AllUsers ? InstallScope::CurrentUser : InstallScope::AllUsers;
    return Read(registry, editionName, other);
}

}  // namespace kanvel::install
