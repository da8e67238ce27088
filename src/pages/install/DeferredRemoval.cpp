#include "pages/install/DeferredRemoval.h"

#include <utility>

#include "pages/install/InstallFolderRemoval.h"

namespace kanvel::install {

bool DeferredRemoval::Postpones(const std::wstring& folder) {
    if (deferred_) folder_ = folder;
    return deferred_;
}

void DeferredRemoval::Complete() {
    const std::wstring folder = std::exchange(folder_, std::wstring());
    if (folder.empty()) return;
    InstallFolderRemoval removal(environment_, recorder_, folder);
    removal.DeleteFileWithin(environment_.paths().KeptInstallerIn(folder));
    if (environment_.platform.files.DirectoryExists(folder)) removal.RemoveEmptyInstallFolders();
}

}  // namespace kanvel::install
