#include "pages/install/DowngradeRule.h"

#include "pages/install/EditionEntry.h"
#include "services/installer/DottedVersion.h"

namespace kanvel::install {

std::optional<std::wstring> DowngradeRule::RefusedRelease(services::RegistryAccess& registry,
                                                          const services::InstallerContext& context,
                                                          std::wstring_view offered) const {
    if (allowed_) return std::nullopt;
    const auto entry = EditionEntry::Read(registry, context.editionName, context.scope);
    if (!entry || services::CompareDottedVersions(entry->version, offered) <= 0) return std::nullopt;
    return entry->version;
}

}  // namespace kanvel::install
