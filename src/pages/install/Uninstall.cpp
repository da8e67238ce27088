// Removal of the chosen edition's installation: its two shortcuts, its
// executable and the engine installer, then the folders that became empty.
#include "pages/install/TFormInstal.h"

#include "pages/install/FilesInUseCheck.h"
#include "pages/install/InstallFolderRemoval.h"

namespace kanvel::install {

namespace {
constexpr const wchar_t* kRemovalFinished = L"Usunięcie programu zakończone pomyślnie";
}  // namespace

void TFormInstal::BBDeinstalClick() {
    auto& platform = environment_.platform;
    const auto paths = environment_.paths();
    const std::wstring desktopShortcut = paths.DesktopShortcut();
    const std::wstring startShortcut = paths.StartMenuShortcut();
    recorder_.BeginRemoval();
    // Nothing goes while another program holds the program file or the
    // engine installer: the user closes it and tries again, or gives up.
    const std::wstring folder = paths.InstalledFolder();
    if (platform.files.DirectoryExists(folder)) {
        const auto inUse = FilesInUseCheck(environment_, main_, inUse_)
                               .StillInUse({paths.ProgramFileIn(folder), paths.EngineInstallerIn(folder)});
        if (!inUse.empty()) {
            recorder_.RemovalFilesInUse(inUse);
            return;
        }
    }

    deleteIfPresent(desktopShortcut);
    if (platform.files.FileExists(startShortcut)) {
        deleteIfPresent(startShortcut);
        const std::wstring group = paths.StartMenuGroup();
        if (platform.files.DirectoryExists(group)) platform.files.RemoveEmptyDirectory(group);
    }
    // An install folder that is still the bare location ("C:" after the licence
    // was accepted on another drive) is not where the installation lives:
    // removing there would delete other programs' files of the same names.
    if (platform.files.DirectoryExists(folder)) removeInstallFolder(folder);
    entry_.Unregister(folder);

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
    InstallFolderRemoval removal(environment_, recorder_, folder);
    removal.DeleteFetchedFile(paths.ProgramFileIn(folder));
    const std::wstring engineFolder = paths.EngineFolderIn(folder);
    if (platform.files.DirectoryExists(engineFolder)) {
        removal.DeleteFetchedFile(paths.EngineInstallerIn(folder));
        removal.RemoveFolder(engineFolder);
    }
    const std::wstring drivers = paths.DriversFolderIn(folder);
    if (platform.files.DirectoryExists(drivers)) removal.RemoveFolder(drivers);
    // The kept installer serves every edition installed in the folder: it goes with the last one.
    if (DeferredRemoval::NoProgramLeftIn(platform, folder)) {
        if (deferredRemoval_.Postpones(folder)) return;
        removal.DeleteFileWithin(paths.KeptInstallerIn(folder));
    }
    removal.RemoveEmptyInstallFolders();
}

// Deletes a file outside the installation (a shortcut) when it exists; one
// that stays is recorded in the removal report.
void TFormInstal::deleteIfPresent(const std::wstring& path) {
    auto& platform = environment_.platform;
    if (platform.files.FileExists(path) && !platform.files.DeleteFileAt(path)) recorder_.FileLeft(path);
}

}  // namespace kanvel::install
