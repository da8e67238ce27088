// Removal of the chosen edition's installation: its two shortcuts, its
// executable and the engine installer, then the folders that became empty.
#include "pages/install/TFormInstal.h"

#include <algorithm>
#include <utility>

namespace kanvel::install {

namespace {
constexpr const wchar_t* kFolderStillUsed =
    L" jest używany przez inny program lub zawiera pliki (foldery) utworzone po instalacji.";
constexpr const wchar_t* kRemovalFinished = L"Usunięcie programu zakończone pomyślnie";
}  // namespace

void TFormInstal::BBDeinstalClick() {
    auto& platform = environment_.platform;
    const auto paths = environment_.paths();
    const std::wstring desktopShortcut = paths.DesktopShortcut();
    const std::wstring startShortcut = paths.StartMenuShortcut();
    removalReport_ = RemovalReport{};

    deleteIfPresent(desktopShortcut);
    if (platform.FileExists(startShortcut)) {
        deleteIfPresent(startShortcut);
        const std::wstring group = paths.StartMenuGroup();
        if (platform.DirectoryExists(group)) platform.RemoveEmptyDirectory(group);
    }
    // An install folder that is still the bare location ("C:" after the licence
    // was accepted on another drive) is not where the installation lives:
    // removing there would delete other programs' files of the same names.
    const std::wstring folder = paths.InstalledFolder();
    if (platform.DirectoryExists(folder)) removeInstallFolder(folder);
    UnregisterInstallation(folder);

    LabelFolder.setCaption(services::InstallationPaths::FamilyFolderLabel());
    main_.SetStatus(kRemovalFinished);
    CBSkrotPulpit.setChecked(platform.FileExists(desktopShortcut));
    CBSkrotMenuStart.setChecked(platform.FileExists(startShortcut));
    BBDeinstal.setEnabled(false);
    BBDeinstal.setShowHint(false);
    if (main_.FinishedShown()) main_.LeaveFinished();
}

void TFormInstal::removeInstallFolder(const std::wstring& folder) {
    auto& platform = environment_.platform;
    const auto paths = environment_.paths();
    deleteInstalledFile(paths.ProgramFileIn(folder));
    const std::wstring engineFolder = paths.EngineFolderIn(folder);
    if (platform.DirectoryExists(engineFolder)) {
        deleteInstalledFile(paths.EngineInstallerIn(folder));
        platform.RemoveEmptyDirectory(engineFolder);
    }
    const std::wstring drivers = paths.DriversFolderIn(folder);
    if (platform.DirectoryExists(drivers)) platform.RemoveEmptyDirectory(drivers);
    // The kept installer serves every edition installed in the folder: it goes with the last one.
    const auto programFiles = paths.EveryProgramFileIn(folder);
    if (std::ranges::none_of(programFiles, [&](const std::wstring& file) { return platform.FileExists(file); })) {
        if (keptInstallerDeferred_) {
            removalReport_.deferredFolder = folder;
            return;
        }
        deleteIfPresent(paths.KeptInstallerIn(folder));
    }
    removeEmptyInstallFolders(folder);
}

void TFormInstal::CompleteDeferredRemoval() {
    const std::wstring folder = std::exchange(removalReport_.deferredFolder, std::wstring());
    if (folder.empty()) return;
    deleteIfPresent(environment_.paths().KeptInstallerIn(folder));
    if (environment_.platform.DirectoryExists(folder)) removeEmptyInstallFolders(folder);
}

// Removes the install folder, and the family folder above it, when they are
// empty; a folder that stays is named in a notice.
void TFormInstal::removeEmptyInstallFolders(const std::wstring& folder) {
    auto& platform = environment_.platform;
    const auto paths = environment_.paths();
    auto stillUsed = [&](const std::wstring& usedFolder) {
        removalReport_.foldersLeft.push_back(usedFolder);
        warn(L"\"" + usedFolder + L"\"" + kFolderStillUsed);
    };
    if (!platform.RemoveEmptyDirectory(folder)) {
        stillUsed(folder);
        return;
    }
    const std::wstring family = paths.RefreshedInstallFolder();
    if (platform.DirectoryExists(family) && !platform.RemoveEmptyDirectory(family)) stillUsed(family);
}

// Deletes a file the installer fetched, and the partial file an interrupted
// download of it may have left, so that neither keeps its folder in place.
void TFormInstal::deleteInstalledFile(const std::wstring& path) {
    for (const std::wstring& file : {path, services::InstallationPaths::PartialFileOf(path)}) deleteIfPresent(file);
}

// Deletes a file when it exists; one that stays is recorded in the removal report.
void TFormInstal::deleteIfPresent(const std::wstring& path) {
    auto& platform = environment_.platform;
    if (platform.FileExists(path) && !platform.DeleteFileAt(path)) removalReport_.filesLeft.push_back(path);
}

}  // namespace kanvel::install
