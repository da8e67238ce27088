#include "app/UnattendedRun.h"

#include <algorithm>

#include "pages/install/TFormInstal.h"
#include "pages/licence/TFormMain.h"
#include "services/InstallationPaths.h"
#include "services/InstallerError.h"
#include "services/ProgramTitle.h"

namespace kanvel::app {

namespace {
constexpr const wchar_t* kInstalling = L"instalacja edycji ";
constexpr const wchar_t* kRemoving = L"usunięcie instalacji edycji ";
constexpr const wchar_t* kInFolder = L" w folderze ";
constexpr const wchar_t* kComponents = L", składniki: ";
constexpr const wchar_t* kShortcuts = L", skróty: ";
constexpr const wchar_t* kNone = L"brak";
constexpr const wchar_t* kProgram = L"program";
constexpr const wchar_t* kDatabase = L"baza danych";
constexpr const wchar_t* kEngine = L"silnik bazy danych";
constexpr const wchar_t* kDesktop = L"pulpit";
constexpr const wchar_t* kStartMenu = L"menu Start";
constexpr const wchar_t* kNoSuchFolder = L"folder nie istnieje: ";
constexpr const wchar_t* kFolderRefused = L"folder odrzucony: ";
constexpr const wchar_t* kLicenceChoiceClosed = L"wybór akceptacji licencji pozostał niedostępny";
constexpr const wchar_t* kPanelNotReady = L"przycisk na panelu instalacji pozostał niedostępny: ";
constexpr const wchar_t* kNothingToRemove = L"nie znaleziono instalacji edycji ";
constexpr const wchar_t* kProgramNotInstalled = L"plik programu nie został zainstalowany";
constexpr const wchar_t* kEngineNotRun =
    L"instalator silnika bazy danych nie został uruchomiony; uruchom go osobno, z jego własnymi "
    L"opcjami instalacji bez okna: ";

std::wstring JoinChosen(std::initializer_list<std::pair<bool, const wchar_t*>> items) {
    std::wstring text;
    for (const auto& [chosen, name] : items)
        if (chosen) text += (text.empty() ? L"" : L", ") + std::wstring(name);
    return text.empty() ? kNone : text;
}
}  // namespace

UnattendedRun::UnattendedRun(services::PlatformOperations& platform, RunLog& log, const CommandLineOptions& options,
                             const services::ProgramVerification& verification)
    : log_(log),
      options_(options),
      platform_(platform, log),
      toolkit_(log),
      application_(toolkit_, services::ProgramTitleOf(platform.ExecutablePath())),
      installer_(platform_, application_, verification) {}

ExitCode UnattendedRun::Execute() {
    try {
        if (const auto stopped = reachInstallPanel()) return *stopped;
        return options_.uninstall ? uninstall() : install();
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
    const std::wstring folder = options_.directory.value_or(services::InstallationPaths::DefaultLocation());
    // The folder dialog offers existing folders only.
    if (!platform_.DirectoryExists(folder + L"\\")) {
        log_.Write(kSilentRunTitle, kNoSuchFolder + folder);
        return ExitCode::BadArguments;
    }
    if (!panel.SBPrzegladaj.enabled()) {
        log_.Write(kSilentRunTitle, kPanelNotReady + panel.SBPrzegladaj.caption());
        return ExitCode::UnexpectedError;
    }
    toolkit_.folderAnswer = folder;
    if (userAction([&] { panel.SBPrzegladaj.click(); }) != ActionEnd::Completed) return ExitCode::UnexpectedError;
    // The folder choice refuses a location inside an "OR-Vel" folder and keeps the old one.
    if (panel.lastFolderChoice() == install::FolderChoice::Refused) {
        log_.Write(kSilentRunTitle, kFolderRefused + folder);
        return ExitCode::BadArguments;
    }
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
               kInstalling + context.editionName + kInFolder + context.installDir + kComponents +
                   JoinChosen({{options_.program, kProgram}, {options_.database, kDatabase}, {options_.engine, kEngine}}) +
                   kShortcuts +
                   JoinChosen({{options_.desktopShortcut, kDesktop}, {options_.startMenuShortcut, kStartMenu}}));
    if (!panel.BBInstal.enabled()) {
        log_.Write(kSilentRunTitle, kPanelNotReady + panel.BBInstal.caption());
        return ExitCode::UnexpectedError;
    }
    if (userAction([&] { panel.BBInstal.click(); }) == ActionEnd::Error) return ExitCode::UnexpectedError;
    return installOutcome(panel.installReport());
}

ExitCode UnattendedRun::installOutcome(const install::InstallReport& report) {
    using Report = install::InstallReport;
    // A program that is not the maker's is named first: it may be an attack,
    // not a network failure.
    const bool signatureRefused =
        report.engine == Report::EngineStep::SignatureRefused ||
        std::ranges::any_of(report.failedDownloads, [](const Report::FailedDownload& download) {
            return download.failure == services::FetchOutcome::Failure::Signature;
        });
    if (signatureRefused) return ExitCode::SignatureRefused;
    // A file that could not be fetched is the cause of whatever failed after it.
    if (!report.failedDownloads.empty()) return ExitCode::DownloadFailed;
    if (report.database == Report::DatabaseStep::CopyAborted) return ExitCode::DatabaseCopyAborted;
    if (options_.program && report.program != Report::ProgramStep::Installed) {
        log_.Write(kSilentRunTitle, kProgramNotInstalled);
        return ExitCode::UnexpectedError;
    }
    // Nothing is started without a window: the log names the engine installer to run.
    if (report.engine == Report::EngineStep::Started) log_.Write(kSilentRunTitle, kEngineNotRun + report.engineInstaller);
    return ExitCode::Success;
}

ExitCode UnattendedRun::uninstall() {
    auto& panel = installer_.FormInstal();
    const auto& context = installer_.context();
    log_.Write(kSilentRunTitle, kRemoving + context.editionName + kInFolder + context.installDir);
    // Removal is offered only when the edition's shortcuts or program file are there.
    if (!panel.BBDeinstal.enabled()) {
        log_.Write(kSilentRunTitle, kNothingToRemove + context.editionName);
        return ExitCode::Success;
    }
    if (userAction([&] { panel.BBDeinstal.click(); }) != ActionEnd::Completed) return ExitCode::UnexpectedError;
    return panel.removalReport().foldersLeft.empty() ? ExitCode::Success : ExitCode::FoldersLeft;
}

}  // namespace kanvel::app
