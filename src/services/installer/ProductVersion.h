#pragma once

#include <string_view>

namespace kanvel::services {

// The installer's version, from the project's version: the version
// resource, the manifest, the "Apps & features" entry and the winget
// manifests all give this one.
inline constexpr std::wstring_view kProductVersion = KANVEL_VERSION;

}  // namespace kanvel::services
