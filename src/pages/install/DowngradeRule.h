#pragma once

#include <optional>
#include <string>

#include "services/installer/InstallerContext.h"
#include "services/system/RegistryAccess.h"

namespace kanvel::install {

// An older release does not replace the release installed: the edition's
// entry for the run's scope names the installed release, which is compared
// with the release the run offers (its release list's, else this
// installer's own version), number by number. The run may allow it
// (/ALLOWDOWNGRADE).
class DowngradeRule {
public:
    DowngradeRule() = default;
    static DowngradeRule Allowing() { return DowngradeRule(true); }

    // The installed release of the chosen edition, when it is newer than
    // the offered one and may not be replaced; nothing otherwise.
    std::optional<std::wstring> RefusedRelease(services::RegistryAccess& registry,
                                               const services::InstallerContext& context,
                                               std::wstring_view offered) const;

private:
    explicit DowngradeRule(bool allowed) : allowed_(allowed) {}

    bool allowed_ = false;
};

}  // namespace kanvel::install
