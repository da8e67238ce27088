// Removal of the chosen edition's installation: its two shortcuts, its
// executable and the engine installer, then the folders that became empty.
#include "pages/install/TFormInstal.h"

#include <algorithm>
#include <utility>

#include "services/InstallationBoundary.h"

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
    if (platform.files.FileExists(startShortcut)) {
        deleteIfPresent(startShortcut);
        const std::wstring group = paths.StartMenuGroup();
        if (platform.files.DirectoryExists(group)) platform.files.RemoveEmptyDirectory(group);
    }
    // An install folder that is still the bare location ("C:" after the licence
    // was accepted on another drive) is not where the installation lives:
    // removing there would delete other programs' files of the same names.
    const std::wstring folder = paths.InstalledFolder();
    if (platform.files.DirectoryExists(folder)) removeInstallFolder(folder);
    UnregisterInstallation(folder);

    LabelFolder.setCaption(services::InstallationPaths::FamilyFolderLabel());
    main_.SetStatus(kRemovalFinished);
    CBSkrotPulpit.setChecked(platform.files.FileExists(desktopShortcut));
    CBSkrotMenuStart.setChecked(platform.files.FileExists(startShortcut));
    BBDeinstal.setEnabled(false);
    BBDeinstal.setShowHint(false);
    if (main_.FinishedShown()) main_.LeaveFinished();
}

void TFormInstal::removeInstallFolder(const std::wstring& folder) {
    auto& platform = environment_.platform;
    const auto paths = environment_.paths();
    // Nothing is removed that does not really lie inside the install folder:
    // a link planted in it (say "Sterowniki" leading to another program's
    // folder) is removed as the link, or stays, but is never followed.
    services::InstallationBoundary boundary(platform, folder);
    deleteInstalledFile(boundary, paths.ProgramFileIn(folder));
    const std::wstring engineFolder = paths.EngineFolderIn(folder);
    if (platform.files.DirectoryExists(engineFolder)) {
        deleteInstalledFile(boundary, paths.EngineInstallerIn(folder));
        boundary.Remove(engineFolder);
    }
    const std::wstring drivers = paths.DriversFolderIn(folder);
    if (platform.files.DirectoryExists(drivers)) boundary.Remove(drivers);
    // The kept installer serves every edition installed in the folder: it goes with the last one.
    const auto programFiles = paths.EveryProgramFileIn(folder);
    if (std::ranges::none_of(programFiles, [&](const std::wstring& file) { return platform.files.FileExists(file); })) {
        if (keptInstallerDeferred_) {
            removalReport_.deferredFolder = folder;
            return;
        }
        deleteWithin(boundary, paths.KeptInstallerIn(folder));
    }
    removeEmptyInstallFolders(boundary, folder);
}

void TFormInstal::CompleteDeferredRemoval() {
    const std::wstring folder = std::exchange(removalReport_.deferredFolder, std::wstring());
    if (folder.empty()) return;
    services::InstallationBoundary boundary(environment_.platform, folder);
    deleteWithin(boundary, environment_.paths().KeptInstallerIn(folder));
    if (environment_.platform.files.DirectoryExists(folder)) removeEmptyInstallFolders(boundary, folder);
}

// Removes the install folder, and the family folder above it, when they are
// empty; a folder that stays is named in a notice.
void TFormInstal::removeEmptyInstallFolders(services::InstallationBoundary& boundary, const std::wstring& folder) {
    auto& platform = environment_.platform;
    auto stillUsed = [&](const std::wstring& usedFolder) {
        removalReport_.foldersLeft.push_back(usedFolder);
        warn(L"\"" + usedFolder + L"\"" + kFolderStillUsed);
    };
    if (!boundary.Remove(folder)) {
        stillUsed(folder);
        return;
    }
    const std::wstring family = environment_.paths().RefreshedInstallFolder();
    if (platform.files.DirectoryExists(family) && !services::InstallationBoundary(platform, family).Remove(family))
        stillUsed(family);
}

// Deletes a file the installer fetched, and the partial file an interrupted
// download of it may have left, so that neither keeps its folder in place.
void TFormInstal::deleteInstalledFile(services::InstallationBoundary& boundary, const std::wstring& path) {
    for (const std::wstring& file : {path, services::InstallationPaths::PartialFileOf(path)}) deleteWithin(boundary, file);
}

// Deletes a file of the installation when it exists; one that stays is recorded.
void TFormInstal::deleteWithin(services::InstallationBoundary& boundary, const std::wstring& path) {
    if (environment_.platform.files.FileExists(path) && !boundary.Remove(path)) removalReport_.filesLeft.push_back(path);
}

// Deletes a file outside the installation (a shortcut) when it exists; one
// that stays is recorded in the removal report.
void TFormInstal::deleteIfPresent(const std::wstring& path) {
    auto& platform = environment_.platform;
    if (platform.files.FileExists(path) && !platform.files.DeleteFileAt(path)) removalReport_.filesLeft.push_back(path);
}

}  // namespace kanvel::install
