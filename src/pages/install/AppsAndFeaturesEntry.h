#pragma once

#include <string>

#include "pages/PageEnvironment.h"
#include "pages/install/InstallRecorder.h"
#include "pages/install/UninstallEntry.h"

namespace kanvel::install {

// The installation's entry in Windows' list of installed programs ("Apps &
// features"), under the user's or the machine's part of the registry as the
// scope says, and the copy of the installer kept in the installation that
// the entry starts to remove it.
class AppsAndFeaturesEntry {
public:
    AppsAndFeaturesEntry(pages::PageEnvironment& environment, InstallRecorder& recorder)
        : environment_(environment), recorder_(recorder) {}

    // After an installation whose program file was installed: keeps a copy
    // of the running installer in the installation and writes the entry.
    // The install report says whether both were done.
    void Register(const LastInstallChoices& choices);
    // Deletes the chosen edition's entry when it is the one of the
    // installation in FOLDER and that installation's program file has gone;
    // an entry that cannot be deleted, or that names another folder whose
    // program file has gone as well, is recorded in the removal report.
    void Unregister(const std::wstring& folder);

private:
    pages::PageEnvironment& environment_;
    InstallRecorder& recorder_;
};

}  // namespace kanvel::install
