// Removal of the chosen edition's installation: its two shortcuts, its
// executable and the engine installer, then the folders that became empty.
#include "install/TFormInstal.h"

#include "install/InstallLayout.h"
#include "licence/TFormMain.h"
#include "services/Paths.h"
#include "shell/Installer.h"
#include "shell/Notice.h"

namespace kanvel::install {

namespace {
constexpr const wchar_t* kFolderStillUsed =
    L" jest używany przez inny program lub zawiera pliki (foldery) utworzone po instalacji.";
constexpr const wchar_t* kRemovalFinished = L"Usunięcie programu zakończone pomyślnie";
}  // namespace

void TFormInstal::BBDeinstalClick() {
    auto& platform = installer_.platform;
    const auto& context = installer_.context;
    const std::wstring linkName = L"\\" + context.editionName + context.shortcutSuffix;
    const std::wstring desktopShortcut = context.desktopDir + linkName;
    const std::wstring group = context.programsDir + kStartMenuGroup;
    const std::wstring startShortcut = group + linkName;

    if (platform.FileExists(desktopShortcut)) platform.DeleteFileAt(desktopShortcut);
    if (platform.FileExists(startShortcut)) {
        platform.DeleteFileAt(startShortcut);
        if (platform.DirectoryExists(group)) platform.RemoveEmptyDirectory(group);
    }
    // An install folder that is still the bare location ("C:" after the licence
    // was accepted on another drive) is not where the installation lives:
    // removing there would delete other programs' files of the same names.
    const std::wstring folder = installedFolder();
    if (platform.DirectoryExists(folder)) removeInstallFolder(folder);

    LabelFolder.setCaption(kFamilyFolderLabel);
    installer_.FormMain->LabelInfo.setCaption(kRemovalFinished);
    CBSkrotPulpit.setChecked(platform.FileExists(desktopShortcut));
    CBSkrotMenuStart.setChecked(platform.FileExists(startShortcut));
    BBDeinstal.setEnabled(false);
    BBDeinstal.setShowHint(false);
    if (installer_.FormMain->PanelKoniec.visible()) {
        installer_.FormMain->RGAkceptacjaClick();
        installer_.FormMain->PanelKoniec.hide();
    }
}

void TFormInstal::removeInstallFolder(const std::wstring& folder) {
    auto& platform = installer_.platform;
    const auto& context = installer_.context;
    deleteInstalledFile(programFileIn(folder));
    const std::wstring engineFolder = folder + L"\\" + context.engineSubfolder;
    if (platform.DirectoryExists(engineFolder)) {
        deleteInstalledFile(engineFolder + kEngineInstallerFile);
        platform.RemoveEmptyDirectory(engineFolder);
    }
    if (platform.DirectoryExists(folder + kDriversFolder)) platform.RemoveEmptyDirectory(folder + kDriversFolder);

    auto stillUsed = [&](const std::wstring& usedFolder) {
        shell::ShowShortNotice(installer_, L"\"" + usedFolder + L"\"" + kFolderStillUsed, shell::kTitleWarning);
    };
    if (!platform.RemoveEmptyDirectory(folder)) {
        stillUsed(folder);
        return;
    }
    const std::wstring family = context.installBase + kFamilyFolder;
    if (platform.DirectoryExists(family) && !platform.RemoveEmptyDirectory(family)) stillUsed(family);
}

// Deletes a file the installer fetched, and the partial file an interrupted
// download of it may have left, so that neither keeps its folder in place.
void TFormInstal::deleteInstalledFile(const std::wstring& path) {
    auto& platform = installer_.platform;
    if (platform.FileExists(path)) platform.DeleteFileAt(path);
    const std::wstring partial = services::PartialFilePath(path);
    if (platform.FileExists(partial)) platform.DeleteFileAt(partial);
}

}  // namespace kanvel::install
