#pragma once

#include <string>
#include <vector>

#include "pages/PageEnvironment.h"
#include "pages/install/InstallRecorder.h"
#include "services/paths/InstallationBoundary.h"

namespace kanvel::install {

// Removes files and folders of one install folder without ever leaving it
// (see services::InstallationBoundary), recording in the removal report
// what should have gone and stays, and naming in a notice a folder that
// stays because it still holds something, with the programs that hold the
// files left behind where the system can name them.
class InstallFolderRemoval {
public:
    InstallFolderRemoval(pages::PageEnvironment& environment, InstallRecorder& recorder, const std::wstring& folder);

    // Deletes a file of the installation when it exists; one that stays is recorded.
    void DeleteFileWithin(const std::wstring& path);
    // Deletes a file the installer fetched, and the partial file an
    // interrupted download of it may have left, so that neither keeps its
    // folder in place.
    void DeleteFetchedFile(const std::wstring& path);
    // Removes an empty folder inside the install folder; true when it is gone.
    bool RemoveFolder(const std::wstring& path) { return boundary_.Remove(path); }
    // Removes the install folder, and the family folder above it, when they
    // are empty; a folder that stays is named in a notice.
    void RemoveEmptyInstallFolders();

private:
    pages::PageEnvironment& environment_;
    InstallRecorder& recorder_;
    const std::wstring folder_;
    services::InstallationBoundary boundary_;
    // The programs holding the files that stayed, each named once.
    std::vector<std::wstring> holders_;
};

}  // namespace kanvel::install
