#pragma once

#include <cstddef>
#include <string>

#include "services/installer/InstallerContext.h"
#include "services/system/RegistryAccess.h"

namespace kanvel::install {

// Whether a location leaves every file of an installation below it within
// the path length Windows accepts. The installer declares itself aware of
// long paths, so they work wherever the machine allows them
// (LongPathsEnabled); elsewhere every path must fit MAX_PATH, and a location
// whose deepest file would not is refused before anything is written.
class LocationLengthRule {
public:
    explicit LocationLengthRule(services::RegistryAccess& registry) : registry_(registry) {}

    // True when the machine takes long paths, or the deepest file below the
    // location fits MAX_PATH.
    bool Fits(const std::wstring& location, const services::InstallerContext& context) const;
    // The longest path the installation writes below the location: a table
    // or a program while it downloads, under its partial name.
    static std::size_t DeepestFileLength(const std::wstring& location, const services::InstallerContext& context);

private:
    bool LongPathsEnabled() const;

    services::RegistryAccess& registry_;
};

}  // namespace kanvel::install
