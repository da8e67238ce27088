// What "Instaluj" does: the ticked components in a fixed order (database
// engine, database files, program file), then the finishing step with the
// update program and the shortcuts; and, once finished, "Uruchom".
#include "pages/install/DatabaseFileSets.h"
#include "pages/install/FilesInUseCheck.h"
#include "pages/install/ServerFiles.h"
#include "pages/install/TFormInstal.h"

#include "services/paths/WindowsPath.h"
#include "services/shortcuts/ShortcutWriter.h"

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
constexpr const wchar_t* kNotStartedBefore = L"Plik \"";
constexpr const wchar_t* kNotStartedAfter = L"\" nie ma ważnego podpisu cyfrowego producenta i nie zostanie uruchomiony.";
constexpr const wchar_t* kCouldNotStart = L"Nie udało się uruchomić programu: ";
constexpr const wchar_t* kEngineDeclined =
    L"Instalator silnika bazy danych nie został uruchomiony: nie udzielono zgody na uprawnienia administratora.";
constexpr const wchar_t* kEngineNotStarted = L"Nie udało się uruchomić instalatora silnika bazy danych.";
constexpr const wchar_t* kUpdateProgramTitle = L"Program aktualizacji";
constexpr const wchar_t* kUpdateProgramRefused = L"nie ma ważnego podpisu cyfrowego producenta";
constexpr const wchar_t* kUpdateProgramNotCopied = L"i nie został skopiowany do instalacji: ";
constexpr const wchar_t* kEnginePackedName = L"setup";
constexpr const wchar_t* kNewerReleaseBefore = L"Zainstalowane jest nowsze wydanie programu: Kanvel ";
constexpr const wchar_t* kNewerReleaseMiddle = L". Ten instalator zawiera wydanie ";
constexpr const wchar_t* kNewerReleaseAfter =
    L" i go nie zastąpi. Instalacja nie została wykonana (opcja /ALLOWDOWNGRADE pozwala zastąpić nowsze wydanie).";
constexpr const wchar_t* kShortcutDescription = L"Skrót do programu Kanvel ";
constexpr const wchar_t* kShortcutVersion = L" 8.0";
constexpr wchar_t kShortcutKey = L'K';
constexpr std::int32_t kNormalWindow = 1;
}  // namespace

void TFormInstal::BBInstalClick() {
    auto& platform = environment_.platform;
    if (main_.FinishedShown()) {
        // Checked again right before it starts: the file may have changed
        // since it was fetched. It runs as the user signed in, even when the
        // installer was started elevated.
        const std::wstring program = environment_.paths().ProgramFile();
        using Outcome = services::ProgramVerification::StartOutcome;
        const Outcome started =
            environment_.verification.Start(platform.shell, program, std::wstring(), services::StartAs::SignedInUser,
                                            signatureReading());
        if (started == Outcome::Refused) warn(kNotStartedBefore + program + kNotStartedAfter);
        if (started == Outcome::NotStarted || started == Outcome::Declined) warn(kCouldNotStart + program);
        if (started == Outcome::Started) main_.close();
        return;
    }
    if (!SBPrzegladaj.enabled()) return;
    recorder_.BeginInstallation();
    if (!CBParadox.checked() && !CBBaza.checked() && !CBProgram.checked()) {
        recorder_.NothingTicked();
        platform.screen.ShowMessageBox(kNothingTicked, notice::kTitleWarning);
        return;
    }
    if (!ServerReleaseJudged() || !NoNewerReleaseReplaced() || !SecureInstallFolder() || !FilesToReplaceFree() || !RoomForRun()) return;
    if (CBParadox.checked()) installEngine();
    if (CBBaza.checked()) {
        BBBazaClick();  // a failed copy ends the whole click here, silently
        CBBaza.setChecked(false);
    }
    if (CBProgram.checked()) installProgram();
}

bool TFormInstal::ServerReleaseJudged() {
    if (environment_.releaseGate == nullptr) return true;
    const auto opening = environment_.releaseGate->Open();
    if (!opening.refusal.empty()) {
        warn(opening.refusal);
        return false;
    }
    environment_.release = opening.list;
    download_->CheckAgainst(opening.list);
    return true;
}

bool TFormInstal::NoNewerReleaseReplaced() {
    const std::wstring offered = environment_.offeredRelease();
    const auto installed = downgrade_.RefusedRelease(environment_.platform.registry, environment_.context, offered);
    if (!installed) return true;
    recorder_.NewerReleaseInstalled(*installed);
    warn(kNewerReleaseBefore + environment_.context.editionName + L" " + *installed + kNewerReleaseMiddle +
         offered + kNewerReleaseAfter);
    return false;
}

bool TFormInstal::FilesToReplaceFree() {
    const auto inUse = FilesInUseCheck(environment_, main_, inUse_).StillInUse(existingFilesToReplace());
    if (inUse.empty()) return true;
    recorder_.FilesInUse(inUse);
    return false;
}

// The working tables the database copy replaces, the program file and the
// kept installer copy that the program's installation writes again; only
// those that exist can be held. The kept copy this installer runs from is
// its own.
std::vector<std::wstring> TFormInstal::existingFilesToReplace() {
    auto& platform = environment_.platform;
    const auto paths = environment_.paths();
    std::vector<std::wstring> files;
    if (!platform.files.DirectoryExists(paths.RefreshedInstallFolder())) return files;
    if (CBBaza.checked()) {
        auto exists = [&](const std::wstring& table) { return platform.files.FileExists(table); };
        for (const DatabaseFileSet* set : {&kDataSet, &kConfigurationSet, &kStatementSet}) {
            const auto tables = workingTables_.Select(*set, paths.WorkingFolder(set->workingFolder), exists);
            files.insert(files.end(), tables.replaced.begin(), tables.replaced.end());
        }
    }
    if (CBProgram.checked() && BBProgram.tag() != RGKanvel.itemIndex()) {
        files.push_back(paths.ProgramFile());
        if (!services::EqualIgnoringCase(platform.processes.ExecutablePath(), paths.KeptInstaller()))
            files.push_back(paths.KeptInstaller());
    }
    return files;
}

void TFormInstal::installEngine() {
    auto& platform = environment_.platform;
    warn(kFetchingEngine);
    if (BBParadox.tag() != 0)
        platform.screen.ShowMessageBox(kEngineAlreadyFetched, notice::kTitleWarning);
    else
        BBParadoxClick();
    const auto paths = environment_.paths();
    const std::wstring engineInstaller = paths.EngineInstaller();
    if (!platform.files.FileExists(engineInstaller)) {
        const std::wstring picked = main_.LokalizacjaPliku(kEnginePackedName);
        if (!picked.empty() && platform.files.FileExists(picked)) KopiujPlik(picked, engineInstaller);
    }
    using EngineStep = InstallReport::EngineStep;
    if (platform.files.FileExists(engineInstaller)) {
        // Whether fetched now, left from an earlier run or picked by the
        // user: checked right before it starts, as the installer runs (it
        // installs for the whole machine).
        using Outcome = services::ProgramVerification::StartOutcome;
        const Outcome started = environment_.verification.Start(platform.shell, engineInstaller, paths.EngineFolder(),
                                                                services::StartAs::ThisAccount, signatureReading());
        if (started == Outcome::Refused) {
            recorder_.EngineEnded(EngineStep::SignatureRefused, engineInstaller);
            warn(kNotStartedBefore + engineInstaller + kNotStartedAfter);
        } else if (started == Outcome::Started) {
            recorder_.EngineEnded(EngineStep::Started, engineInstaller);
        } else {
            // Not started is not installed: the user is told why, and the message log keeps it.
            recorder_.EngineEnded(EngineStep::NotStarted, engineInstaller);
            environment_.notices.ShowNotice(notice::kTitleWarning,
                                            started == Outcome::Declined ? kEngineDeclined : kEngineNotStarted,
                                            engineInstaller, true);
        }
    } else {
        recorder_.EngineEnded(EngineStep::InstallerMissing, std::wstring());
        warn(kDownloadRequired);
    }
    CBParadox.setChecked(false);
    BBParadox.setEnabled(false);
}

void TFormInstal::installProgram() {
    auto& platform = environment_.platform;
    bool fetched = false;
    const bool alreadyFetched = BBProgram.tag() == RGKanvel.itemIndex();
    if (alreadyFetched)
        platform.screen.ShowMessageBox(kProgramAlreadyFetched, notice::kTitleWarning);
    else
        fetched = PobranieProgramu();
    const bool present = platform.files.FileExists(environment_.paths().ProgramFile());
    if (present && fetched) {
        ZakonczenieInstalacji();
        main_.ShowFinished();
        BBInstal.setCaption(kRun);
        BBInstal.setHint(kRunHint);
        main_.SetStatus(kInstallationSucceeded);
        recorder_.ProgramEnded(InstallReport::ProgramStep::Installed);
    } else {
        recorder_.ProgramEnded(alreadyFetched ? InstallReport::ProgramStep::AlreadyFetched
                                              : InstallReport::ProgramStep::NotInstalled);
        warn(present ? kInstallationStopped : kDownloadRequired);
    }
}

void TFormInstal::BBProgramClick() {
    if (ServerReleaseJudged()) PobranieProgramu();
}

bool TFormInstal::PobranieProgramu() {
    // The mark names the edition whose file this call fetches, whatever is
    // chosen by the time the file has arrived.
    const int edition = RGKanvel.itemIndex();
    ProgressBar1.setPosition(0);
    RefreshInstallFolder();
    const auto& context = environment_.context;
    if (!PobraniePliku(kProgramsServerFolder, context.programBaseName, kProgramExtension, true, context.installDir))
        return false;
    BBProgram.setTag(edition);
    return true;
}

void TFormInstal::ZakonczenieInstalacji() {
    const auto& context = environment_.context;
    const auto paths = environment_.paths();
    copyUpdateProgram();

    services::TParametrySkrotu shortcut;
    shortcut.SciezkaPliku = paths.ProgramFile();
    shortcut.katalogRoboczy = context.installDir;
    shortcut.opis = kShortcutDescription + context.editionName + kShortcutVersion;
    shortcut.rodzajokna = kNormalWindow;
    shortcut.numerIkony = 0;
    shortcut.klawiszSkrotu = kShortcutKey;
    if (CBSkrotPulpit.checked()) writeShortcut(paths.DesktopShortcut(), shortcut);
    if (CBSkrotMenuStart.checked()) {
        makeFolderIfMissing(paths.StartMenuGroup());
        writeShortcut(paths.StartMenuShortcut(), shortcut);
    }
    const auto& report = recorder_.installation();
    entry_.Register({.database = report.database != InstallReport::DatabaseStep::NotTicked,
                     .engine = report.engine != InstallReport::EngineStep::NotTicked,
                     .desktopShortcut = CBSkrotPulpit.checked(),
                     .startMenuShortcut = CBSkrotMenuStart.checked()});
    BBDeinstal.setEnabled(true);
    BBDeinstal.setShowHint(true);
}

// The update program beside the installer goes into the installation only
// when it is the maker's, checked like every program that is started, and
// held from the check until it has been copied.
void TFormInstal::copyUpdateProgram() {
    auto& platform = environment_.platform;
    const auto paths = environment_.paths();
    const std::wstring updateProgram = paths.UpdateProgramSource();
    if (!platform.files.FileExists(updateProgram)) return;
    const auto held = environment_.verification.HoldIfAccepted(platform.shell, updateProgram, signatureReading());
    if (!held) {
        environment_.notices.ShowNotice(kUpdateProgramTitle, kUpdateProgramRefused, kUpdateProgramNotCopied + updateProgram,
                                        true);
        return;
    }
    KopiujPlik(updateProgram, paths.UpdateProgramTarget());
}

void TFormInstal::writeShortcut(const std::wstring& linkFile, const services::TParametrySkrotu& shortcut) {
    services::UtworzSkrot(environment_.platform, linkFile, shortcut);
    // The shell reports no failure of its own: a shortcut that is not there was not written.
    if (!environment_.platform.files.FileExists(linkFile)) recorder_.ShortcutMissing(linkFile);
}

bool TFormInstal::KopiujPlik(const std::wstring& source, const std::wstring& target) {
    auto& platform = environment_.platform;
    if (!platform.files.FileExists(source)) {
        warn(kMissingFile + source);
        return false;
    }
    // A path longer than the copy's buffers is refused by the copy itself.
    if (platform.files.FileExists(target)) platform.files.SetAttributes(target, 0);
    return platform.files.CopyFileTo(source, target, false);
}

}  // namespace kanvel::install
