#include "pages/install/InstallFolderRemoval.h"

#include "pages/notice/Notices.h"

namespace kanvel::install {

namespace {
constexpr const wchar_t* kFolderStillUsed =
    L" jest używany przez inny program lub zawiera pliki (foldery) utworzone po instalacji.";
}  // namespace

InstallFolderRemoval::InstallFolderRemoval(pages::PageEnvironment& environment, InstallRecorder& recorder,
                                           const std::wstring& folder)
    : environment_(environment), recorder_(recorder), folder_(folder), boundary_(environment.platform, folder) {}

void InstallFolderRemoval::DeleteFileWithin(const std::wstring& path) {
    if (environment_.platform.files.FileExists(path) && !boundary_.Remove(path)) recorder_.FileLeft(path);
}

void InstallFolderRemoval::DeleteFetchedFile(const std::wstring& path) {
    for (const std::wstring& file : {path, services::InstallationPaths::PartialFileOf(path)}) DeleteFileWithin(file);
}

void InstallFolderRemoval::RemoveEmptyInstallFolders() {
    auto& platform = environment_.platform;
    auto stillUsed = [&](const std::wstring& usedFolder) {
        recorder_.FolderLeft(usedFolder);
        environment_.notices.ShowShortNotice(L"\"" + usedFolder + L"\"" + kFolderStillUsed, notice::kTitleWarning);
    };
    if (!boundary_.Remove(folder_)) {
        stillUsed(folder_);
        return;
    }
    const std::wstring family = environment_.paths().RefreshedInstallFolder();
    if (platform.files.DirectoryExists(family) && !services::InstallationBoundary(platform, family).Remove(family))
        stillUsed(family);
}

}  // namespace kanvel::install
