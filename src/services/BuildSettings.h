#pragma once

#include <string_view>

namespace kanvel::services {

// What the build was configured with (CMake cache variables). The values
// live in one file that CMake makes from BuildSettings.cpp.in, so that
// changing one rebuilds that file alone.

// KANVEL_PUBLISHER: the SHA-256 values of the maker's signing certificates,
// lower-case hexadecimal joined by ";"; empty when downloaded programs are
// started unverified.
std::wstring_view BuildPublisher();

// KANVEL_ALLOW_PLAIN_HTTP: plain http:// downloads from another machine were
// allowed at configure time.
bool BuildAllowsPlainHttp();

}  // namespace kanvel::services
