#pragma once

#include <optional>
#include <string>

#include "services/installer/InstallerContext.h"
#include "services/system/RegistryAccess.h"

namespace kanvel::install {

// An installer older than the release installed does not replace it: the
// edition's entry for the run's scope names the installed release, which
// is compared with this installer's own version, number by number. The run
// may allow it (/ALLOWDOWNGRADE).
class DowngradeRule {
public:
    DowngradeRule() = default;
    static DowngradeRule Allowing() { return DowngradeRule(true); }

    // The installed release of the chosen edition, when it is newer than
    // this installer and may not be replaced; nothing otherwise.
    std::optional<std::wstring> RefusedRelease(services::RegistryAccess& registry,
                                               const services::InstallerContext& context) const;

private:
    explicit DowngradeRule(bool allowed) : allowed_(allowed) {}

    bool allowed_ = false;
};

}  // namespace kanvel::install
