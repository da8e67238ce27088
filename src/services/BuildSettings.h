#pragma once

#include <string_view>

namespace kanvel::services {

// What the build was configured with (CMake cache variables), each read in
// one translation unit only, so that changing one rebuilds one file.

// KANVEL_PUBLISHER: the SHA-256 values of the maker's signing certificates,
// as configured; empty when downloaded programs are started unverified.
std::wstring_view BuildPublisher();

// KANVEL_ALLOW_PLAIN_HTTP: plain http:// downloads from another machine were
// allowed at configure time.
bool BuildAllowsPlainHttp();

}  // namespace kanvel::services
