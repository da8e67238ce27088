// The install folder's protection: made protected when the installer makes
// it, and an existing one checked before anything is written into it.
#include "pages/install/TFormInstal.h"

namespace kanvel::install {

namespace {
using services::FolderAdoption;

constexpr const wchar_t* kRefusedBefore = L"Folder:  \"";
constexpr const wchar_t* kRefusedLink =
    L"\" jest łączem do innego miejsca na dysku. Instalacja nie zapisze w nim plików; wybierz inny folder.";
constexpr const wchar_t* kRefusedForeignOwner =
    L"\" utworzył inny użytkownik tego komputera. Instalacja nie zapisze w nim plików; usuń go albo wybierz inny "
    L"folder.";
constexpr const wchar_t* kRefusedLinkInside =
    L"\" zawiera łącze do innego miejsca na dysku. Instalacja nie zapisze w nim plików; wybierz inny folder.";
constexpr const wchar_t* kRefusedUnprotected =
    L"\" nie może otrzymać uprawnień instalacji. Instalacja nie zapisze w nim plików; wybierz inny folder.";

const wchar_t* RefusalReason(FolderAdoption adoption) {
    switch (adoption) {
        case FolderAdoption::Link: return kRefusedLink;
        case FolderAdoption::ForeignOwner: return kRefusedForeignOwner;
        case FolderAdoption::LinkInside: return kRefusedLinkInside;
        case FolderAdoption::Protected:
        case FolderAdoption::Failed: break;
    }
    return kRefusedUnprotected;
}
}  // namespace

void TFormInstal::RefreshInstallFolder() {
    auto& context = environment_.context;
    context.installDir = environment_.paths().RefreshedInstallFolder();
    auto& files = environment_.platform.files;
    if (!files.DirectoryExists(context.installDir))
        files.MakeDirectory(context.installDir, environment_.paths().InstallFolderProtection());
}

bool TFormInstal::SecureInstallFolder() {
    auto& files = environment_.platform.files;
    const auto paths = environment_.paths();
    const std::wstring folder = paths.RefreshedInstallFolder();
    if (!files.DirectoryExists(folder)) return true;  // the steps make it, protected
    environment_.context.installDir = folder;
    FolderAdoption adoption = files.ProtectExistingFolder(folder, paths.InstallFolderProtection());
    // Everything inside now inherits the install folder's rights: the
    // working folders get their users' rights back.
    for (const auto which : services::InstallationPaths::kWorkingFolders) {
        const std::wstring working = paths.WorkingFolder(which);
        if (adoption == FolderAdoption::Protected && files.DirectoryExists(working))
            adoption = files.ProtectExistingFolder(working, paths.WorkingFolderProtection());
    }
    if (adoption == FolderAdoption::Protected) return true;
    recorder_.InstallFolderRefused(folder);
    warn(kRefusedBefore + folder + RefusalReason(adoption));
    return false;
}

void TFormInstal::makeWorkingFolderIfMissing(const std::wstring& folder) {
    auto& files = environment_.platform.files;
    if (!files.DirectoryExists(folder)) files.MakeDirectory(folder, environment_.paths().WorkingFolderProtection());
}

}  // namespace kanvel::install
