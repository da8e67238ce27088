// What "Instaluj" does: the ticked components in a fixed order (database
// engine, database files, program file), then the finishing step with the
// update program and the shortcuts; and, once finished, "Uruchom".
#include "install/TFormInstal.h"

#include "install/InstallLayout.h"
#include "install/InstalledFolder.h"
#include "licence/TFormMain.h"
#include "services/ShortcutWriter.h"
#include "shell/Installer.h"
#include "shell/Notice.h"

namespace kanvel::install {

namespace {
constexpr const wchar_t* kNothingTicked = L"Brak zaznaczenia wyboru instalacji.";
constexpr const wchar_t* kFetchingEngine = L"Pobranie silnika bazy danych projektów z wersji 3.0-7.0.";
constexpr const wchar_t* kEngineAlreadyFetched = L"Silnik bazy danych został już pobrany.";
constexpr const wchar_t* kProgramAlreadyFetched = L"Edytor Bazy Danych został już pobrany.";
constexpr const wchar_t* kDownloadRequired = L"Wymagane jest pobranie pliku z internetu.";
constexpr const wchar_t* kInstallationStopped = L"Instalacja przerwana.";
constexpr const wchar_t* kInstallationSucceeded = L"Instalacja zakończona pomyślnie";
constexpr const wchar_t* kRun = L"Uruchom";
constexpr const wchar_t* kRunHint = L"Uruchomienie programu";
constexpr const wchar_t* kMissingFile = L"Brak pliku: ";
constexpr const wchar_t* kProgramsServerFolder = L"programy/wersja7/poprawki";
constexpr const wchar_t* kProgramDownloadExtension = L"exe";
constexpr const wchar_t* kEnginePackedName = L"setup";
constexpr const wchar_t* kUpdateProgramSource = L"\\Program\\Aktualizacja.exe";
constexpr const wchar_t* kUpdateProgramTarget = L"\\Aktualizacja.exe";
constexpr const wchar_t* kShortcutDescription = L"Skrót do programu Kanvel ";
constexpr const wchar_t* kShortcutVersion = L" 8.0";
constexpr wchar_t kShortcutKey = L'K';
constexpr std::int32_t kNormalWindow = 1;
}  // namespace

std::wstring TFormInstal::programFile() const { return programFileIn(installer_.context.installDir); }

std::wstring TFormInstal::programFileIn(const std::wstring& folder) const {
    return folder + L"\\" + installer_.context.programBaseName + kProgramExtension;
}

std::wstring TFormInstal::installedFolder() const {
    return InstalledFolder(installer_.context.installDir, installer_.context.installBase);
}

void TFormInstal::BBInstalClick() {
    auto& main = *installer_.FormMain;
    if (main.PanelKoniec.visible()) {
        installer_.platform.ShellExecuteFile(std::wstring(), programFile(), std::wstring(), std::wstring());
        main.close();
        return;
    }
    if (!SBPrzegladaj.enabled()) return;
    if (!CBParadox.checked() && !CBBaza.checked() && !CBProgram.checked()) {
        installer_.platform.ShowMessageBox(kNothingTicked, shell::kTitleWarning);
        return;
    }
    if (CBParadox.checked()) installEngine();
    if (CBBaza.checked()) {
        BBBazaClick();  // a failed copy ends the whole click here, silently
        CBBaza.setChecked(false);
    }
    if (CBProgram.checked()) installProgram();
}

void TFormInstal::installEngine() {
    auto& platform = installer_.platform;
    shell::ShowShortNotice(installer_, kFetchingEngine, shell::kTitleWarning);
    if (BBParadox.tag() != 0)
        platform.ShowMessageBox(kEngineAlreadyFetched, shell::kTitleWarning);
    else
        BBParadoxClick();
    const std::wstring engineFolder = installer_.context.installDir + L"\\" + installer_.context.engineSubfolder;
    const std::wstring engineInstaller = engineFolder + kEngineInstallerFile;
    if (!platform.FileExists(engineInstaller)) {
        const std::wstring picked = installer_.FormMain->LokalizacjaPliku(kEnginePackedName);
        if (!picked.empty() && platform.FileExists(picked)) KopiujPlik(picked, engineInstaller);
    }
    if (platform.FileExists(engineInstaller))
        platform.ShellExecuteFile(std::wstring(), engineInstaller, std::wstring(), engineFolder);
    else
        shell::ShowShortNotice(installer_, kDownloadRequired, shell::kTitleWarning);
    CBParadox.setChecked(false);
    BBParadox.setEnabled(false);
}

void TFormInstal::installProgram() {
    auto& platform = installer_.platform;
    auto& main = *installer_.FormMain;
    bool fetched = false;
    if (BBProgram.tag() == RGKanvel.itemIndex())
        platform.ShowMessageBox(kProgramAlreadyFetched, shell::kTitleWarning);
    else
        fetched = PobranieProgramu();
    const bool present = platform.FileExists(programFile());
    if (present && fetched) {
        ZakonczenieInstalacji();
        main.PanelKoniec.show();
        main.PanelKoniec.bringToFront();
        BBInstal.setCaption(kRun);
        BBInstal.setHint(kRunHint);
        main.LabelInfo.setCaption(kInstallationSucceeded);
    } else {
        shell::ShowShortNotice(installer_, present ? kInstallationStopped : kDownloadRequired, shell::kTitleWarning);
    }
}

void TFormInstal::BBProgramClick() { PobranieProgramu(); }

bool TFormInstal::PobranieProgramu() {
    ProgressBar1.setPosition(0);
    RefreshInstallFolder();
    const auto& context = installer_.context;
    if (!PobraniePliku(kProgramsServerFolder, context.programBaseName, kProgramDownloadExtension, true, context.installDir))
        return false;
    BBProgram.setTag(RGKanvel.itemIndex());
    return true;
}

void TFormInstal::ZakonczenieInstalacji() {
    auto& platform = installer_.platform;
    const auto& context = installer_.context;
    const std::wstring updateProgram = context.installerDir + kUpdateProgramSource;
    if (platform.FileExists(updateProgram)) KopiujPlik(updateProgram, context.installDir + kUpdateProgramTarget);

    services::TParametrySkrotu shortcut;
    shortcut.SciezkaPliku = programFile();
    shortcut.katalogRoboczy = context.installDir;
    shortcut.opis = kShortcutDescription + context.editionName + kShortcutVersion;
    shortcut.rodzajokna = kNormalWindow;
    shortcut.numerIkony = 0;
    shortcut.klawiszSkrotu = kShortcutKey;
    const std::wstring linkName = L"\\" + context.editionName + context.shortcutSuffix;
    if (CBSkrotPulpit.checked()) services::UtworzSkrot(platform, context.desktopDir + linkName, shortcut);
    if (CBSkrotMenuStart.checked()) {
        const std::wstring group = context.programsDir + kStartMenuGroup;
        makeFolderIfMissing(group);
        services::UtworzSkrot(platform, group + linkName, shortcut);
    }
    BBDeinstal.setEnabled(true);
    BBDeinstal.setShowHint(true);
}

bool TFormInstal::KopiujPlik(const std::wstring& source, const std::wstring& target) {
    auto& platform = installer_.platform;
    if (!platform.FileExists(source)) {
        shell::ShowShortNotice(installer_, kMissingFile + source, shell::kTitleWarning);
        return false;
    }
    // A path longer than the copy's buffers is refused by the copy itself.
    if (platform.FileExists(target)) platform.SetAttributes(target, 0);
    return platform.CopyFileTo(source, target, false);
}

}  // namespace kanvel::install
