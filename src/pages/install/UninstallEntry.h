#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "services/installer/InstallerContext.h"
#include "services/system/Clock.h"
#include "services/system/Registry.h"

namespace kanvel::install {

// The name of the entry's value that holds the install folder: removal
// deletes only the entry of the installation it removes.
inline constexpr const wchar_t* kEntryInstallLocation = L"InstallLocation";

// The values of an installation's entry in Windows' list of installed
// programs ("Apps & features"), which Windows, winget, Intune and
// Configuration Manager read: its name, version and publisher, where it
// lies, how large it is, how to repair it, and how to remove it with a
// window and without.
std::vector<services::RegistryValue> UninstallEntryValues(const services::InstallerContext& context,
                                                          std::uint64_t installedBytes,
                                                          const services::LocalTime& today);

// The entry's command lines: removal in the window (the location preset),
// repair in the window (the location preset, the working tables kept), and
// removal without a window, as deployment tools run it.
std::wstring UninstallCommand(const services::InstallerContext& context);
std::wstring RepairCommand(const services::InstallerContext& context);
std::wstring QuietUninstallCommand(const services::InstallerContext& context);

}  // namespace kanvel::install
