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
// The installed release, as Windows shows it.
inline constexpr const wchar_t* kEntryDisplayVersion = L"DisplayVersion";
// The entry's own values, which a later run of the installer reads: the
// drive or folder the installation's family folder lies in, and what the
// last install chose, in the words of /COMPONENTS and /SHORTCUTS
// ("program,database", "desktop,startmenu"; no shortcut: empty).
inline constexpr const wchar_t* kEntryLocation = L"KanvelLocation";
inline constexpr const wchar_t* kEntryComponents = L"KanvelComponents";
inline constexpr const wchar_t* kEntryShortcuts = L"KanvelShortcuts";

// What the last install chose, as the entry keeps it.
struct LastInstallChoices {
    bool database = false;
    bool engine = false;
    bool desktopShortcut = false;
    bool startMenuShortcut = false;
};

// The values of an installation's entry in Windows' list of installed
// programs ("Apps & features"), which Windows, winget, Intune and
// Configuration Manager read: its name, version and publisher, where it
// lies, how large it is, how to repair it, and how to remove it with a
// window and without; and the installer's own values for its next run.
// OWNER is the account that installs (its security identifier).
// Its version (DisplayVersion) is the release installed.
std::vector<services::RegistryValue> UninstallEntryValues(const services::InstallerContext& context,
                                                          const LastInstallChoices& choices,
                                                          std::uint64_t installedBytes,
                                                          const services::LocalTime& today,
                                                          const std::wstring& release,
                                                          const std::wstring& owner);

// The entry's command lines: removal in the window (the location preset),
// repair in the window (the location preset, the working tables kept), and
// removal without a window, as deployment tools run it. A per-user entry's
// lines name its owner (/OWNER), as Settings may run them elevated, and so as
// another account, whose registry and profile hold no such installation.
std::wstring UninstallCommand(const services::InstallerContext& context, const std::wstring& owner);
std::wstring RepairCommand(const services::InstallerContext& context, const std::wstring& owner);
std::wstring QuietUninstallCommand(const services::InstallerContext& context, const std::wstring& owner);

}  // namespace kanvel::install
