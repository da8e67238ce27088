#pragma once

#include <string>

namespace kanvel::services {

// For whom an installation is made: the user who runs the installer (the
// shortcuts in that user's folders), or every user of the machine.
enum class InstallScope { CurrentUser, AllUsers };

// The paths and names that start-up computes and that every page reads;
// a few pages update them. Folder paths carry no trailing "\" unless said.
struct InstallerContext {
    std::wstring installerDir;     // folder of the running installer ("D:\" at a drive root)
    std::wstring editionName;      // chosen edition, e.g. "Koordynator"
    std::wstring programBaseName;  // its executable without ".exe", e.g. "Edytor3"
    std::wstring engineSubfolder;  // database engine folder below the install folder
    std::wstring versionText;      // shown after the edition name
    std::wstring shortcutSuffix;   // " 7.lnk"
    std::wstring desktopDir;
    std::wstring programsDir;      // the Start menu's "Programs" folder
    std::wstring installBase;      // drive or folder chosen on the install panel
    std::wstring installDir;       // the installation folder
    InstallScope scope = InstallScope::CurrentUser;  // fixed for the run, before the forms exist
};

}  // namespace kanvel::services
