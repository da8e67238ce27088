#include "app/AllUsersCheck.h"

#include "services/paths/InstallationPaths.h"
#include "services/installer/InstallerError.h"
#include "services/paths/WindowsPath.h"

namespace kanvel::app {

namespace {
constexpr const wchar_t* kProbeFile = L"Kanvel-proba-zapisu.tmp";
constexpr const wchar_t* kMachineRegistry = L"HKEY_LOCAL_MACHINE\\";

bool CanWriteIn(services::FileSystem& files, const std::wstring& folder) {
    if (folder.empty()) return false;
    const std::wstring probe = services::JoinPath(folder, kProbeFile);
    try {
        files.AppendUnicodeText(probe, std::wstring());
    } catch (const services::InputOutputError&) {
        return false;
    }
    files.DeleteFileAt(probe);
    return true;
}
}  // namespace

std::optional<std::wstring> PlaceNotWritableForAllUsers(
    services::PlatformRoles<services::FileSystem, services::RegistryAccess, services::Shell> platform) {
    using services::InstallationPaths;
    constexpr auto scope = services::InstallScope::AllUsers;
    for (int folder : {InstallationPaths::DesktopFolderOf(scope), InstallationPaths::ProgramsFolderOf(scope)}) {
        const std::wstring path = platform.get<services::Shell>().SpecialFolderPath(folder);
        if (!CanWriteIn(platform.get<services::FileSystem>(), path)) return path;
    }
    const std::wstring key = InstallationPaths::UninstallKeysParent();
    auto& registry = platform.get<services::RegistryAccess>();
    if (!registry.CanWriteRegistryKey(InstallationPaths::RegistryRootOf(scope), key)) return kMachineRegistry + key;
    return std::nullopt;
}

}  // namespace kanvel::app
