#include "pages/install/DeferredRemoval.h"

#include <algorithm>
#include <utility>

#include "pages/install/InstallFolderRemoval.h"

namespace kanvel::install {

bool DeferredRemoval::Postpones(const std::wstring& folder) {
    if (release_) {
        std::exchange(release_, nullptr)();
        return false;
    }
    if (deferred_) folder_ = folder;
    return deferred_;
}

bool DeferredRemoval::TakesOverKeptCopy(const std::wstring& folder) {
    auto& files = environment_.platform.files;
    if (!files.FileExists(environment_.paths().KeptInstallerIn(folder)) ||
        !NoProgramLeftIn(environment_.platform, folder))
        return false;
    return Postpones(folder);
}

bool DeferredRemoval::NoProgramLeftIn(services::Platform& platform, const std::wstring& folder) {
    const auto programFiles = services::InstallationPaths::EveryProgramFileIn(folder);
    return std::ranges::none_of(programFiles, [&](const std::wstring& file) { return platform.files.FileExists(file); });
}

void DeferredRemoval::Complete() {
    const std::wstring folder = std::exchange(folder_, std::wstring());
    if (folder.empty()) return;
    InstallFolderRemoval removal(environment_, recorder_, folder);
    removal.DeleteFileWithin(environment_.paths().KeptInstallerIn(folder));
    if (environment_.platform.files.DirectoryExists(folder)) removal.RemoveEmptyInstallFolders();
}

}  // namespace kanvel::install
