#pragma once

#include <string_view>

namespace kanvel::services {

// What the installer was built with (CMake cache variables). The values
// live in one file that CMake makes from BuildSettings.cpp.in for each
// installer it links, so that installers for other servers or makers share
// every other compiled file, and changing a value rebuilds that file alone.

// KANVEL_DOWNLOAD_BASE_URL: the download server's root the installer fetches
// its components from (ends in "/").
std::wstring_view BuildDownloadBaseUrl();

// KANVEL_PUBLISHER: the SHA-256 values of the maker's signing certificates,
// lower-case hexadecimal joined by ";"; empty when downloaded programs are
// started unverified.
std::wstring_view BuildPublisher();

// KANVEL_ALLOW_PLAIN_HTTP: plain http:// downloads from another machine were
// allowed at configure time.
bool BuildAllowsPlainHttp();

}  // namespace kanvel::services
