#pragma once

#include <string>

namespace kanvel::services {

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
};

}  // namespace kanvel::services
