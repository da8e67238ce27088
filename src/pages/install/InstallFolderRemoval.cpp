#include "pages/install/InstallFolderRemoval.h"

#include <algorithm>

#include "pages/notice/Notices.h"

namespace kanvel::install {

namespace {
constexpr const wchar_t* kFolderUsed = L" jest używany przez inny program";
constexpr const wchar_t* kFolderHoldsOtherFiles = L" lub zawiera pliki (foldery) utworzone po instalacji.";
}  // namespace

InstallFolderRemoval::InstallFolderRemoval(pages::PageEnvironment& environment, InstallRecorder& recorder,
                                           const std::wstring& folder)
    : environment_(environment), recorder_(recorder), folder_(folder), boundary_(environment.platform, folder) {}

void InstallFolderRemoval::DeleteFileWithin(const std::wstring& path) {
    if (!environment_.platform.files.FileExists(path) || boundary_.Remove(path)) return;
    recorder_.FileLeft(path);
    for (const auto& inUse : environment_.platform.processes.FilesInUse({path}))
        for (const auto& program : inUse.programs)
            if (std::ranges::find(holders_, program) == holders_.end()) holders_.push_back(program);
}

void InstallFolderRemoval::DeleteFetchedFile(const std::wstring& path) {
    for (const std::wstring& file : {path, services::InstallationPaths::PartialFileOf(path)}) DeleteFileWithin(file);
}

void InstallFolderRemoval::RemoveEmptyInstallFolders() {
    auto& platform = environment_.platform;
    auto stillUsed = [&](const std::wstring& usedFolder) {
        recorder_.FolderLeft(usedFolder);
        std::wstring named;
        for (const auto& program : holders_) named += (named.empty() ? L" (" : L", ") + program;
        if (!named.empty()) named += L")";
        environment_.notices.ShowShortNotice(L"\"" + usedFolder + L"\"" + kFolderUsed + named + kFolderHoldsOtherFiles,
                                             notice::kTitleWarning);
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
