#include "app/UnattendedRun.h"

#include <algorithm>

#include "app/EngineStartOutcome.h"
#include "app/LocationPreparation.h"
#include "pages/install/TFormInstal.h"
#include "pages/licence/TFormMain.h"
#include "pages/notice/TFormInUse.h"
#include "services/paths/InstallationPaths.h"
#include "services/installer/InstallerError.h"
#include "services/installer/ProgramTitle.h"

namespace kanvel::app {

namespace {
constexpr const wchar_t* kInstalling = L"instalacja edycji ";
constexpr const wchar_t* kRemoving = L"usunięcie instalacji edycji ";
constexpr const wchar_t* kRepairing = L"naprawa instalacji edycji ";
constexpr const wchar_t* kNothingToRepair = L"nie ma czego naprawić: brak instalacji edycji ";
constexpr const wchar_t* kInFolder = L" w folderze ";
constexpr const wchar_t* kComponents = L", składniki: ";
constexpr const wchar_t* kShortcuts = L", skróty: ";
constexpr const wchar_t* kNone = L"brak";
constexpr const wchar_t* kProgram = L"program";
constexpr const wchar_t* kDatabase = L"baza danych";
constexpr const wchar_t* kEngine = L"silnik bazy danych";
constexpr const wchar_t* kDesktop = L"pulpit";
constexpr const wchar_t* kStartMenu = L"menu Start";
constexpr const wchar_t* kLocation = L"folder instalacji: ";
constexpr const wchar_t* kNoSuchFolder = L"folder nie istnieje: ";
constexpr const wchar_t* kFolderRefused = L"folder odrzucony: ";
constexpr const wchar_t* kLicenceChoiceClosed = L"wybór akceptacji licencji pozostał niedostępny";
constexpr const wchar_t* kPanelNotReady = L"przycisk na panelu instalacji pozostał niedostępny: ";
constexpr const wchar_t* kNothingToRemove = L"nie znaleziono instalacji edycji ";
constexpr const wchar_t* kProgramNotInstalled = L"plik programu nie został zainstalowany";
constexpr const wchar_t* kEngineNotRun =
    L"instalator silnika bazy danych nie został uruchomiony; uruchom go osobno, z jego własnymi "
    L"opcjami instalacji bez okna: ";
constexpr const wchar_t* kEngineMissing = L"brak instalatora silnika bazy danych";
constexpr const wchar_t* kProxySignInWithoutWindow =
    L"serwer proxy wymaga logowania (nazwa użytkownika i hasło); instalacja bez okna nie może o nie zapytać: "
    L"uruchom instalator z oknem albo poproś administratora sieci o dostęp dla tego komputera";
constexpr const wchar_t* kTableReplaced = L"plik roboczy bazy danych zastąpiony pierwotnym: ";
constexpr const wchar_t* kTablesKept =
    L"istniejące pliki robocze bazy danych pozostały bez zmian (/RESETDATABASE je zastępuje)";
constexpr const wchar_t* kShortcutMissing = L"nie zapisano skrótu: ";
constexpr const wchar_t* kEntryWritten = L"wpis w „Aplikacje i funkcje”: ";
constexpr const wchar_t* kEntryFailed = L"nie zapisano wpisu w „Aplikacje i funkcje” ani kopii instalatora: ";
constexpr const wchar_t* kFileLeft = L"nie usunięto pliku: ";
constexpr const wchar_t* kEntryLeft = L"nie usunięto wpisu w „Aplikacje i funkcje”";
constexpr const wchar_t* kFileInUse = L"plik używany przez inny program: ";
constexpr const wchar_t* kMachineRoot = L"HKEY_LOCAL_MACHINE\\";
constexpr const wchar_t* kUserRoot = L"HKEY_CURRENT_USER\\";

std::wstring JoinChosen(std::initializer_list<std::pair<bool, const wchar_t*>> items) {
    std::wstring text;
    for (const auto& [chosen, name] : items)
        if (chosen) text += (text.empty() ? L"" : L", ") + std::wstring(name);
    return text.empty() ? kNone : text;
}
}  // namespace

UnattendedRun::UnattendedRun(services::Platform platform, RunLog& log, const CommandLineOptions& options,
                             const services::ProgramVerification& verification, const services::LocalSource* source,
                             const services::ReleaseList* release)
    : log_(log),
      options_(options),
      silent_(platform, log),
      platform_(silent_.platform()),
      toolkit_(log),
      application_(toolkit_, services::ProgramTitleOf(platform.processes.ExecutablePath())),
      installer_(platform_, application_,
                 options.allUsers ? services::InstallScope::AllUsers : services::InstallScope::CurrentUser, verification,
                 install::WorkingTablePolicy::WithoutWindow(options.resetDatabase),
                 install::InUsePolicy::WithoutWindow(options.closeApplications),
                 options.allowDowngrade ? install::DowngradeRule::Allowing() : install::DowngradeRule()) {
    installer_.TakeFilesFrom(source);
    installer_.CheckAgainst(release);
}

ExitCode UnattendedRun::Execute() {
    try {
        if (const auto stopped = reachInstallPanel()) return *stopped;
        if (options_.uninstall) return uninstall();
        return options_.repair ? repair() : install();
    } catch (...) {
        // An error outside the user's actions (start-up, ticking the boxes):
        // the default handler reports it.
        application_.handleException(std::current_exception());
        return ExitCode::UnexpectedError;
    }
}

UnattendedRun::ActionEnd UnattendedRun::userAction(const std::function<void()>& action) {
    try {
        action();
        return ActionEnd::Completed;
    } catch (const services::SilentAbort&) {
        return ActionEnd::SilentAbort;
    } catch (...) {
        application_.handleException(std::current_exception());
        return ActionEnd::Error;
    }
}

std::optional<ExitCode> UnattendedRun::reachInstallPanel() {
    installer_.CreateForms();
    auto& main = installer_.FormMain();
    auto& panel = installer_.FormInstal();
    // The licence choice opens when the reveal has shown the agreement.
    if (userAction([&] { main.Timer1.fire(); }) != ActionEnd::Completed) return ExitCode::UnexpectedError;
    if (!main.RGAkceptacja.enabled()) {
        log_.Write(kSilentRunTitle, kLicenceChoiceClosed);
        return ExitCode::UnexpectedError;
    }
    if (userAction([&] { main.RGAkceptacja.choose(0); }) != ActionEnd::Completed ||
        userAction([&] { panel.RGKanvel.choose(*options_.edition); }) != ActionEnd::Completed)
        return ExitCode::UnexpectedError;
    return chooseLocation();
}

std::optional<ExitCode> UnattendedRun::chooseLocation() {
    auto& panel = installer_.FormInstal();
    // A run without /DIR has the location of the edition's entry already
    // (TakeDefaultsFromEntry); without an entry, the panel's start value.
    const std::wstring folder = options_.directory.value_or(services::InstallationPaths::DefaultLocation());
    if (options_.uninstall || options_.repair) {
        // Nothing to create for a removal or a repair: what is left of an installation lies there, or nothing.
        if (!platform_.files.DirectoryExists(folder + L"\\")) log_.Write(kSilentRunTitle, kNoSuchFolder + folder);
    } else if (!MakeLocationReady(platform_, log_, folder, installer_.paths().InstallFolderProtection())) {
        return ExitCode::BadArguments;
    }
    // The folder choice refuses a location inside an "OR-Vel" folder, or one
    // too long for this machine, and keeps the old one.
    install::FolderChoice choice = install::FolderChoice::Chosen;
    if (userAction([&] { choice = panel.ChooseLocation(folder); }) != ActionEnd::Completed)
        return ExitCode::UnexpectedError;
    if (choice == install::FolderChoice::Refused) {
        log_.Write(kSilentRunTitle, kFolderRefused + folder);
        return ExitCode::BadArguments;
    }
    log_.Write(kSilentRunTitle, kLocation + panel.Edit1.text());
    return std::nullopt;
}

void UnattendedRun::tickChoices() {
    auto& panel = installer_.FormInstal();
    panel.CBProgram.setChecked(options_.program);
    panel.CBBaza.setChecked(options_.database);
    panel.CBParadox.setChecked(options_.engine);
    panel.CBSkrotPulpit.setChecked(options_.desktopShortcut);
    panel.CBSkrotMenuStart.setChecked(options_.startMenuShortcut);
}

ExitCode UnattendedRun::install() {
    auto& panel = installer_.FormInstal();
    const auto& context = installer_.context();
    tickChoices();
    log_.Write(kSilentRunTitle,
               kInstalling + context.editionName + kInFolder + installer_.paths().RefreshedInstallFolder() + kComponents +
                   JoinChosen({{options_.program, kProgram}, {options_.database, kDatabase}, {options_.engine, kEngine}}) +
                   kShortcuts +
                   JoinChosen({{options_.desktopShortcut, kDesktop}, {options_.startMenuShortcut, kStartMenu}}));
    if (!panel.BBInstal.enabled()) {
        log_.Write(kSilentRunTitle, kPanelNotReady + panel.BBInstal.caption());
        return ExitCode::UnexpectedError;
    }
    if (userAction([&] { panel.BBInstal.click(); }) == ActionEnd::Error) return ExitCode::UnexpectedError;
    logInstallDetails(installer_.recorder().installation());
    return installOutcome(installer_.recorder().installation());
}

// The installation as it lies: the program fetched and checked again, with
// the database and the engine installer when the installation has them (or
// /COMPONENTS asks), only their missing files fetched, every working table
// that exists kept; the shortcuts asked for and the entry written again.
ExitCode UnattendedRun::repair() {
    auto& panel = installer_.FormInstal();
    const auto paths = installer_.paths();
    const std::wstring folder = paths.InstalledFolder();
    if (!platform_.files.DirectoryExists(folder)) {
        log_.Write(kSilentRunTitle, kNothingToRepair + installer_.context().editionName + kInFolder + folder);
        return ExitCode::BadArguments;
    }
    log_.Write(kSilentRunTitle, kRepairing + installer_.context().editionName + kInFolder + folder);
    tickChoices();
    panel.CBProgram.setChecked(true);
    if (platform_.files.DirectoryExists(paths.PristineFolder())) panel.CBBaza.setChecked(true);
    if (userAction([&] { panel.BBInstal.click(); }) == ActionEnd::Error) return ExitCode::UnexpectedError;
    logInstallDetails(installer_.recorder().installation());
    return installOutcome(installer_.recorder().installation());
}

void UnattendedRun::logInstallDetails(const install::InstallReport& report) {
    using Report = install::InstallReport;
    if (report.database == Report::DatabaseStep::Copied) {
        for (const auto& table : report.tablesReplaced) log_.Write(kSilentRunTitle, kTableReplaced + table);
        if (!installer_.workingTables().ReplacesExisting()) log_.Write(kSilentRunTitle, kTablesKept);
    }
    for (const auto& shortcut : report.shortcutsMissing) log_.Write(kSilentRunTitle, kShortcutMissing + shortcut);
    const std::wstring root = options_.allUsers ? kMachineRoot : kUserRoot;
    if (report.entry == Report::EntryStep::Written) log_.Write(kSilentRunTitle, kEntryWritten + root + report.entryKey);
    if (report.entry == Report::EntryStep::Failed) log_.Write(kSilentRunTitle, kEntryFailed + root + report.entryKey);
    // Nothing is started without a window: the log names the engine installer to run.
    if (report.engine == Report::EngineStep::Started) log_.Write(kSilentRunTitle, kEngineNotRun + report.engineInstaller);
}

ExitCode UnattendedRun::installOutcome(const install::InstallReport& report) {
    if (!report.refusedFolder.empty()) {
        log_.Write(kSilentRunTitle, kFolderRefused + report.refusedFolder);
        return ExitCode::BadArguments;
    }
    if (!report.newerRelease.empty()) return ExitCode::NewerReleaseInstalled;
    if (!report.filesInUse.empty()) {
        logFilesInUse(report.filesInUse);
        return ExitCode::FilesInUse;
    }
    using Report = install::InstallReport;
    // A program that is not the maker's is named first: it may be an attack,
    // not a network failure.
    const bool signatureRefused =
        report.engine == Report::EngineStep::SignatureRefused ||
        std::ranges::any_of(report.failedDownloads, [](const Report::FailedDownload& download) {
            return download.failure == services::FetchOutcome::Failure::Signature;
        });
    if (signatureRefused) return ExitCode::SignatureRefused;
    if (const auto engine = EngineStartOutcome(report)) return *engine;
    // Every later download would meet the same proxy: the cause is named.
    const bool proxySignIn = std::ranges::any_of(report.failedDownloads, [](const Report::FailedDownload& download) {
        return download.failure == services::FetchOutcome::Failure::ProxySignIn;
    });
    if (proxySignIn) {
        log_.Write(kSilentRunTitle, kProxySignInWithoutWindow);
        return ExitCode::ProxySignInNeeded;
    }
    // A full volume is named next: every later file would meet it too.
    if (std::ranges::any_of(report.failedDownloads, [](const Report::FailedDownload& download) {
            return download.failure == services::FetchOutcome::Failure::DiskFull;
        }))
        return ExitCode::DiskFull;
    // A copy that does not match its list is named next: the copy needs mending, not the network.
    if (std::ranges::any_of(report.failedDownloads, [](const Report::FailedDownload& download) {
            return download.failure == services::FetchOutcome::Failure::NotAsListed;
        }))
        return ExitCode::SourceMismatch;
    const bool componentMissing = !report.failedDownloads.empty() || report.engine == Report::EngineStep::InstallerMissing;
    // A repair always installs the program again.
    const bool programAsked = options_.program || options_.repair;
    if (programAsked && report.program == Report::ProgramStep::Installed) {
        if (componentMissing) {
            if (report.engine == Report::EngineStep::InstallerMissing) log_.Write(kSilentRunTitle, kEngineMissing);
            return ExitCode::ComponentMissing;
        }
        if (!report.shortcutsMissing.empty() || report.entry != Report::EntryStep::Written)
            return ExitCode::ShortcutOrEntryMissing;
        return ExitCode::Success;
    }
    // A file that could not be fetched is the cause of whatever failed after it.
    if (!report.failedDownloads.empty()) return ExitCode::DownloadFailed;
    if (report.database == Report::DatabaseStep::CopyAborted) return ExitCode::DatabaseCopyAborted;
    if (programAsked) {
        log_.Write(kSilentRunTitle, kProgramNotInstalled);
        return ExitCode::UnexpectedError;
    }
    if (report.engine == Report::EngineStep::InstallerMissing) {
        log_.Write(kSilentRunTitle, kEngineMissing);
        return ExitCode::DownloadFailed;
    }
    return ExitCode::Success;
}

// A line per file, naming the programs that hold it where the system could.
void UnattendedRun::logFilesInUse(const std::vector<services::FileInUse>& files) {
    for (const auto& file : files) log_.Write(kSilentRunTitle, kFileInUse + notice::TFormInUse::DescribeFile(file));
}

ExitCode UnattendedRun::uninstall() {
    auto& panel = installer_.FormInstal();
    const auto& context = installer_.context();
    log_.Write(kSilentRunTitle, kRemoving + context.editionName + kInFolder + installer_.paths().InstalledFolder());
    // Started from the kept installer copy, that copy goes only after this run has reported.
    if (options_.secondPhase) installer_.deferredRemoval().Defer();
    // Removal is offered only when the edition's shortcuts or program file are there.
    if (!panel.BBDeinstal.enabled()) {
        log_.Write(kSilentRunTitle, kNothingToRemove + context.editionName);
        const std::wstring folder = installer_.paths().InstalledFolder();
        // An entry left by an installation whose files are gone goes all the
        // same, and a kept copy left alone by its own window's removal.
        if (userAction([&] {
                installer_.entry().Unregister(folder);
                installer_.deferredRemoval().TakesOverKeptCopy(folder);
            }) != ActionEnd::Completed)
            return ExitCode::UnexpectedError;
        return removalOutcome(installer_.recorder().removal());
    }
    if (userAction([&] { panel.BBDeinstal.click(); }) != ActionEnd::Completed) return ExitCode::UnexpectedError;
    return removalOutcome(installer_.recorder().removal());
}

// Folders that stay because they hold the database, the update program or
// the user's own files stay as removal intends; what should have gone and
// did not makes the removal incomplete.
ExitCode UnattendedRun::removalOutcome(const install::RemovalReport& report) {
    if (!report.filesInUse.empty()) {
        logFilesInUse(report.filesInUse);
        return ExitCode::FilesInUse;
    }
    for (const auto& file : report.filesLeft) log_.Write(kSilentRunTitle, kFileLeft + file);
    if (report.entryLeft) log_.Write(kSilentRunTitle, kEntryLeft);
    return report.filesLeft.empty() && !report.entryLeft ? ExitCode::Success : ExitCode::RemovalIncomplete;
}

void UnattendedRun::CompleteDeferredRemoval() {
    const auto& filesLeft = installer_.recorder().removal().filesLeft;
    const std::size_t filesLeftBefore = filesLeft.size();
    if (userAction([&] { installer_.deferredRemoval().Complete(); }) != ActionEnd::Completed) return;
    for (std::size_t i = filesLeftBefore; i < filesLeft.size(); ++i) log_.Write(kSilentRunTitle, kFileLeft + filesLeft[i]);
}

}  // namespace kanvel::app
