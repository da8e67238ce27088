#pragma once

#include <optional>
#include <string>

#include "services/installer/InstallerContext.h"
#include "services/system/RegistryAccess.h"

namespace kanvel::install {

// What an edition's entry in "Apps & features" tells a later run of the
// installer: for whom and where the installation lies, which release it
// is, and what its last install chose (in the words of /COMPONENTS and
// /SHORTCUTS; nothing when the entry does not say).
struct EditionEntry {
    services::InstallScope scope = services::InstallScope::CurrentUser;
    // The drive or folder the installation's family folder lies in ("D:\Programy", "C:").
    std::wstring location;
    std::wstring version;
    std::optional<std::wstring> components;
    std::optional<std::wstring> shortcuts;

    // The edition's entry in the scope's part of the registry, when there is one.
    static std::optional<EditionEntry> Read(services::RegistryAccess& registry, const std::wstring& editionName,
                                            services::InstallScope scope);
    // The edition's entry in the scope's part of the registry, else in the other's.
    static std::optional<EditionEntry> Find(services::RegistryAccess& registry, const std::wstring& editionName,
                                            services::InstallScope first);
};

}  // namespace kanvel::install
