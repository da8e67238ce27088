#include "app/CommandLineRun.h"

#include "app/AllUsersCheck.h"
#include "app/CommandLine.h"
#include "app/EngineStartOutcome.h"
#include "app/EntryDefaults.h"
#include "app/ExitCode.h"
#include "app/LayoutRun.h"
#include "app/LocationPreparation.h"
#include "app/RunLog.h"
#include "app/ServerRelease.h"
#include "app/ServerReleaseOnDemand.h"
#include "app/UnattendedRun.h"
#include "services/paths/InstallationPaths.h"
#include "services/installer/ProgramTitle.h"
#include "services/paths/WindowsPath.h"

namespace kanvel::app {

namespace {
constexpr const wchar_t* kLogPlace = L"dziennik przebiegu: ";
constexpr const wchar_t* kStarted = L"opcje: ";
constexpr const wchar_t* kBadOption = L"błędna opcja ";
constexpr const wchar_t* kExitCode = L"kod wyjścia ";
constexpr const wchar_t* kLogNotWritable = L"Nie można zapisać dziennika przebiegu (/LOG): ";
constexpr const wchar_t* kAnotherRun =
    L"Trwa inna instalacja programu Kanvel na tym komputerze. Spróbuj ponownie, gdy się zakończy.";
constexpr const wchar_t* kNotWritableForAllUsers =
    L"brak uprawnień do zapisu dla wszystkich użytkowników (/ALLUSERS wymaga uprawnień administratora): ";
constexpr const wchar_t* kFolderRefused = L"folder odrzucony (wewnątrz folderu OR-Vel): ";
constexpr const wchar_t* kContinuedFromCopy =
    L"instalator zachowany w instalacji nie może usunąć sam siebie: dalej działa jego kopia w folderze plików "
    L"tymczasowych";
constexpr const wchar_t* kCopyFailed = L"kopia instalatora nie zgłosiła wyniku";
constexpr const wchar_t* kSecondPhaseOption = L"/SECONDPHASE=";
constexpr const wchar_t* kSilentOption = L"/SILENT";
constexpr const wchar_t* kUninstallOption = L"/UNINSTALL";
constexpr const wchar_t* kEditionOption = L"/EDITION=";
constexpr const wchar_t* kDirOption = L"/DIR=";
constexpr const wchar_t* kAllUsersOption = L"/ALLUSERS";
constexpr const wchar_t* kSourceUnusable = L"Nie można użyć kopii plików (/SOURCE): ";
constexpr const wchar_t* kSourceInUse = L"pliki z kopii: ";
constexpr const wchar_t* kLocationFromEntry = L"miejsce instalacji z wpisu w „Aplikacje i funkcje”: ";
constexpr const wchar_t* kForAllUsers = L" (dla wszystkich użytkowników)";
constexpr const wchar_t* kInstalledByAnotherAccount =
    L"Tę instalację programu Kanvel wykonano na innym koncie użytkownika niż to, na którym działa teraz instalator "
    L"(na przykład po podaniu nazwy i hasła administratora w oknie Kontroli konta użytkownika). Na tym koncie "
    L"instalator nie znalazłby jej wpisu ani skrótów, więc niczego nie zmienił. Aby ją usunąć lub naprawić, "
    L"uruchom na koncie użytkownika, który ją zainstalował, bez uprawnień administratora (nie są potrzebne) "
    L"plik: ";
constexpr const wchar_t* kOwnerAccount = L"konto właściciela instalacji: ";
constexpr const wchar_t* kRunAccount = L", konto tego przebiegu: ";
constexpr const wchar_t* kDesktopAccount = L", konto użytkownika pulpitu: ";
constexpr const wchar_t* kUnknownAccount = L"nieznane";
constexpr const wchar_t* kRunAgainAsOwner =
    L"właściciel instalacji jest użytkownikiem pulpitu: to samo polecenie działa dalej na jego koncie, bez "
    L"uprawnień administratora";
constexpr const wchar_t* kOwnersRunEnded = L"przebieg na koncie właściciela zakończony kodem ";
constexpr const wchar_t* kOwnersRunNotStarted = L"nie udało się uruchomić polecenia na koncie właściciela instalacji";
constexpr std::wstring_view kSourceOptionName = L"SOURCE=";
// The lock every run of the installer on a machine takes.
constexpr const wchar_t* kMachineLockName = L"Velmarin.Kanvel.Instalator";

// The arguments as one line, an argument with a blank in quotes, as it was given.
std::wstring Joined(const std::vector<std::wstring>& arguments) {
    std::wstring text;
    for (const auto& argument : arguments) {
        const bool blank = argument.find(L' ') != std::wstring::npos;
        text += (text.empty() ? L"" : L" ") + (blank ? L"\"" + argument + L"\"" : argument);
    }
    return text;
}

// Why a copy named by /SOURCE cannot be used, as the run's code.
ExitCode SourceExitCode(services::LocalSource::Problem problem) {
    using Problem = services::LocalSource::Problem;
    if (problem == Problem::SignatureRefused) return ExitCode::ReleaseListRefused;
    return problem == Problem::ListRefused ? ExitCode::SourceMismatch : ExitCode::DownloadFailed;
}

// One run from its command line, from the log's opening to the exit code.
class Run {
public:
    Run(services::Platform platform, const std::vector<std::wstring>& arguments,
        const std::function<install::InstallReport(const WindowSettings&)>& runWindow, const services::ProgramVerification& verification)
        : platform_(platform),
          arguments_(arguments),
          runWindow_(runWindow),
          verification_(verification),
          parsed_(CommandLine::Parse(arguments)),
          options_(parsed_.options),
          title_(services::ProgramTitleOf(platform.processes.ExecutablePath())),
          log_(platform, logPath()) {}

    int execute() {
        // A log that cannot be written stops the run before anything else.
        if (!log_.Open()) {
            tellSomeoneAtTheScreen(kLogNotWritable + log_.path());
            return ToInt(ExitCode::BadArguments);
        }
        if (withoutWindow()) log_.Write(kSilentRunTitle, kLogPlace + log_.path());
        if (!arguments_.empty()) log_.Write(kSilentRunTitle, kStarted + Joined(arguments_));
        if (parsed_.error) return badArguments();
        if (options_.showUsage) return showUsage();
        if (const auto ownersRun = runForOwner()) return *ownersRun;
        if (startsFromKeptCopy()) return continueFromCopy();
        const auto lock = platform_.processes.ClaimMachineLock(kMachineLockName);
        if (!lock) return refuse(kAnotherRun, ExitCode::AnotherRunInProgress);
        if (!options_.layout) takeDefaultsFromEntry();
        if (options_.allUsers)
            if (const auto place = PlaceNotWritableForAllUsers(platform_))
                return refuse(kNotWritableForAllUsers + *place, ExitCode::BadArguments);
        if (options_.layout)
            return finish(LayoutRun(platform_, log_, copyFolder(*options_.layout), verification_).Execute());
        if (options_.source)
            if (const auto refused = openSource()) return *refused;
        return options_.silent ? runWithoutWindow() : runWithWindow();
    }

private:
    // Without a location, the edition's installation is where its entry says.
    void takeDefaultsFromEntry() {
        const auto entry = TakeDefaultsFromEntry(platform_.registry, options_);
        if (!entry) return;
        log_.Write(kSilentRunTitle, kLocationFromEntry + *options_.directory +
                                        (entry->scope == services::InstallScope::AllUsers ? kForAllUsers : L""));
    }

    // The removal or repair a per-user entry names its owner for, run by
    // another account: Settings elevates an uninstall command, and with an
    // administrator's name and password typed over the user's shoulder it
    // runs as that administrator, whose registry and profile hold nothing of
    // the user's installation. When the owner is the user at the screen, the
    // same command runs again as that user and this run ends with its code;
    // otherwise this run stops before anything is done.
    std::optional<int> runForOwner() {
        if (!options_.owner) return std::nullopt;
        const std::wstring account = platform_.processes.AccountId();
        if (services::EqualIgnoringCase(account, *options_.owner)) return std::nullopt;
        const std::wstring desktop = platform_.processes.DesktopAccountId();
        log_.Write(kSilentRunTitle, kOwnerAccount + *options_.owner + kRunAccount + Named(account) + kDesktopAccount +
                                        Named(desktop));
        if (services::EqualIgnoringCase(desktop, *options_.owner)) {
            log_.Write(kSilentRunTitle, kRunAgainAsOwner);
            if (const auto outcome = platform_.processes.RunAsDesktopUser(arguments_)) {
                log_.Write(kSilentRunTitle, kOwnersRunEnded + std::to_wstring(*outcome));
                return *outcome;
            }
            log_.Write(kSilentRunTitle, kOwnersRunNotStarted);
        }
        return refuse(kInstalledByAnotherAccount + platform_.processes.ExecutablePath(),
                      ExitCode::InstalledByAnotherAccount);
    }

    static std::wstring Named(const std::wstring& account) { return account.empty() ? kUnknownAccount : account; }

    // A copy of the server is made without a window, /SILENT or not.
    bool withoutWindow() const { return options_.silent || options_.layout; }

    // The run's log: the one asked for; without a window the user's
    // temporary folder's; a window run without /LOG keeps none.
    std::wstring logPath() {
        if (options_.logFile) return *options_.logFile;
        return withoutWindow() ? RunLog::DefaultPath(platform_) : std::wstring();
    }

    void tellSomeoneAtTheScreen(const std::wstring& text) {
        if (!withoutWindow()) platform_.screen.ShowMessageBox(text, title_);
    }

    int finish(ExitCode code) {
        log_.Write(kSilentRunTitle, kExitCode + std::to_wstring(ToInt(code)) + L": " + std::wstring(DescribeExitCode(code)));
        // The run that started this copy ends with the same code.
        if (options_.secondPhase)
            platform_.processes.ReportToFirstPhase(*options_.secondPhase, ToInt(code));
        return ToInt(code);
    }

    int refuse(const std::wstring& reason, ExitCode code) {
        log_.Write(kSilentRunTitle, reason);
        tellSomeoneAtTheScreen(reason);
        return finish(code);
    }

    int badArguments() {
        const std::wstring line = kBadOption + parsed_.error->argument + L": " + parsed_.error->reason;
        log_.Write(kSilentRunTitle, line);
        // Someone at the screen (no /SILENT) is told how to do it right.
        tellSomeoneAtTheScreen(line + L"\n\n" + CommandLine::Usage());
        return finish(ExitCode::BadArguments);
    }

    int showUsage() {
        if (options_.silent)
            log_.Write(title_, CommandLine::Usage());
        else
            platform_.screen.ShowMessageBox(CommandLine::Usage(), title_);
        return ToInt(ExitCode::Success);
    }

    // The copy of the installer kept in an installation cannot delete
    // itself: a removal started from it goes on from a temporary copy. Any
    // other run of it works where it lies (its message log beside it, the
    // update program beside it found).
    bool startsFromKeptCopy() {
        return !options_.secondPhase && options_.uninstall &&
               services::InstallationPaths::IsKeptInstaller(platform_.processes.ExecutablePath());
    }

    int continueFromCopy() {
        log_.Write(kSilentRunTitle, kContinuedFromCopy);
        // With a window too, this run ends with the copy's code, which the
        // copy's window reports once its removal is done (or the window has
        // closed): whoever started it (Windows' settings, which refresh their
        // list then) sees the removal done.
        const auto outcome = platform_.processes.RunFromTemporaryCopy(argumentsForCopy(), kSecondPhaseOption, true);
        if (!outcome) return refuse(kCopyFailed, ExitCode::UnexpectedError);
        return *outcome;
    }

    // A removal without a window from a temporary copy, for the location of
    // this kept copy's folder: it finds only the copy and deletes it once
    // this run has ended. Nothing waits for it.
    void handOverKeptCopy(const std::wstring& edition) {
        std::wstring location = services::FolderOf(services::FolderOf(platform_.processes.ExecutablePath()));
        if (location.size() == 3 && location.back() == L'\\') location.pop_back();  // a drive is "D:"
        std::vector<std::wstring> arguments{kSilentOption, kUninstallOption, kEditionOption + edition, kDirOption + location};
        if (options_.allUsers) arguments.push_back(kAllUsersOption);
        platform_.processes.RunFromTemporaryCopy(arguments, kSecondPhaseOption, false);
    }

    // The arguments for the temporary copy: a folder relative to this
    // installer's own is given in full, as the copy runs from another folder.
    std::vector<std::wstring> argumentsForCopy() {
        std::vector<std::wstring> arguments = arguments_;
        if (!options_.source || IsSourceAddress(*options_.source)) return arguments;
        for (auto& argument : arguments)
            if (services::UpperCaseAscii(argument.substr(1, kSourceOptionName.size())) == kSourceOptionName)
                argument = argument.substr(0, 1 + kSourceOptionName.size()) + copyFolder(*options_.source);
        return arguments;
    }

    // A folder given relative to the installer's own: a package carries
    // its copy next to the installer, whatever folder it is started in.
    std::wstring copyFolder(const std::wstring& given) {
        if (given.rfind(L"\\\\", 0) == 0 || (given.size() >= 2 && given[1] == L':')) return given;
        return services::JoinPath(services::FolderOf(platform_.processes.ExecutablePath()), given);
    }

    // The copy named by /SOURCE with its list read and judged; otherwise the
    // exit code that ends the run here: its list not signed by the maker
    // (18), refused (12), or not there to read (a download that failed, 4).
    std::optional<int> openSource() {
        using services::LocalSource;
        LocalSource::Opening opening;
        if (IsSourceAddress(*options_.source)) {
            const auto client = platform_.http.CreateHttpClient();
            opening = LocalSource::OpenAddress(platform_, verification_, *client, *options_.source);
        } else {
            opening = LocalSource::OpenFolder(platform_, verification_, copyFolder(*options_.source));
        }
        if (!opening.source) return refuse(kSourceUnusable + opening.reason, SourceExitCode(opening.problem));
        source_ = std::move(opening.source);
        log_.Write(kSilentRunTitle, kSourceInUse + source_->location());
        return std::nullopt;
    }

    // The download server's release list, fetched and judged before any
    // file, for a run that may fetch files from the server (a copy named by
    // /SOURCE has its own); otherwise the exit code that ends the run here.
    std::optional<int> openRelease() {
        if (options_.uninstall || source_) return std::nullopt;
        auto release = ServerRelease::Fetch(platform_, log_, verification_);
        if (release.stop) return refuse(release.reason, *release.stop);
        release_ = std::move(release.list);
        return std::nullopt;
    }

    int runWithoutWindow() {
        // The licence was accepted when the installation that is removed or repaired was made.
        if (!options_.acceptLicence && !options_.uninstall && !options_.repair)
            return finish(ExitCode::LicenceNotAccepted);
        if (const auto refused = openRelease()) return *refused;
        UnattendedRun run(platform_, log_, options_, verification_, source_.get(), release_.get());
        const int code = finish(run.Execute());
        // Only now is the kept installer copy of a removal free to go.
        if (options_.secondPhase) {
            platform_.processes.WaitForFirstPhase(*options_.secondPhase);
            run.CompleteDeferredRemoval();
        }
        return code;
    }

    int runWithWindow() {
        WindowSettings settings;
        // The run that started this copy waits for its outcome; its file is free once it has it and has ended.
        std::optional<int> reported;
        if (options_.secondPhase)
            settings.releaseKeptCopy = [&](const install::InstallReport& report) {
                if (reported) return;
                reported = finish(EngineStartOutcome(report).value_or(ExitCode::Success));
                platform_.processes.WaitForFirstPhase(*options_.secondPhase);
            };
        ServerReleaseOnDemand serverRelease(platform_, log_, verification_);
        settings.source = source_.get();
        if (!source_) settings.release = &serverRelease;
        settings.allowDowngrade = options_.allowDowngrade;
        settings.repair = options_.repair;
        if (!options_.secondPhase && services::InstallationPaths::IsKeptInstaller(platform_.processes.ExecutablePath()))
            settings.handOverKeptCopy = [&](const std::wstring& edition) { handOverKeptCopy(edition); };
        settings.scope = options_.allUsers ? services::InstallScope::AllUsers : services::InstallScope::CurrentUser;
        if (options_.directory) {
            if (services::InstallationPaths::NamesFamilyFolder(*options_.directory))
                return refuse(kFolderRefused + *options_.directory, ExitCode::BadArguments);
            if (!MakeLocationReady(platform_, log_, *options_.directory,
                                   services::InstallationPaths::InstallFolderProtectionFor(settings.scope)))
                return finish(ExitCode::BadArguments);
            settings.location = options_.directory;
        }
        // The window showed every failure to the user at the screen; the
        // code tells whoever started it what the last installation left undone.
        const install::InstallReport report = runWindow_(settings);
        if (reported) return *reported;
        return finish(EngineStartOutcome(report).value_or(ExitCode::Success));
    }

    services::Platform platform_;
    const std::vector<std::wstring>& arguments_;
    const std::function<install::InstallReport(const WindowSettings&)>& runWindow_;
    const services::ProgramVerification& verification_;
    const ParsedCommandLine parsed_;
    // The command line's options, completed by the edition's entry.
    CommandLineOptions options_;
    const std::wstring title_;
    RunLog log_;
    std::unique_ptr<services::LocalSource> source_;
    std::unique_ptr<services::ReleaseList> release_;
};
}  // namespace

int RunFromCommandLine(services::Platform platform, const std::vector<std::wstring>& arguments,
                       const std::function<install::InstallReport(const WindowSettings&)>& runWindow,
                       const services::ProgramVerification& verification) {
    return Run(platform, arguments, runWindow, verification).execute();
}

}  // namespace kanvel::app
