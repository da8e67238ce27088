#pragma once

#include <string>

namespace kanvel::install {

// The folder that holds an installation for the current location, as removal
// and the installation test see it. The install folder itself when it is a
// folder named "OR-Vel" (the start value "\OR-Vel\" included); otherwise the
// install folder is still the bare location (for example "C:" after the
// licence was accepted on another drive), and the installation lives in that
// location's "OR-Vel" sub-folder. Nothing is created.
std::wstring InstalledFolder(const std::wstring& installDir, const std::wstring& installBase);

}  // namespace kanvel::install
