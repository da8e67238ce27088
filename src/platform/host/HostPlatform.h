#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "platform/host/EventLog.h"
#include "platform/host/HostFileSystem.h"
#include "platform/host/HostReplacingFile.h"
#include "platform/host/HostRegistry.h"
#include "platform/host/HostSecurity.h"
#include "services/system/BriefLockRetry.h"
#include "services/system/EveryRole.h"

namespace kanvel::platform::host {

// The platform of the native tests: a real temporary tree behind Windows
// paths, a virtual clock that Sleep advances without sleeping, a virtual
// cursor, and every message recorded in the event log instead of shown.
class HostPlatform : public services::EveryRole {
public:
    HostPlatform(std::filesystem::path root, EventLog& log);

    HostFileSystem& files() { return files_; }
    EventLog& log() { return log_; }

    // Test settings.
    std::wstring executablePath = L"C:\\Instal\\Instalator.exe";
    // The account the run's token names: the tester's, or the
    // administrator's whose credentials were typed at the elevation prompt.
    std::wstring accountId = L"S-1-5-21-3623811015-3361044348-30300820-1013";
    // The user signed in at the screen, whose Explorer's token a run as
    // another account starts the program again with (empty: no shell), and
    // the exit code of that run (nothing: it could not be started).
    std::wstring desktopAccountId = accountId;
    std::optional<int> desktopUserOutcome = 0;
    // The arguments of each run started again as the desktop's user.
    std::vector<std::vector<std::wstring>> desktopUserRuns;
    std::wstring desktopPath = L"C:\\Users\\Tester\\Desktop";
    std::wstring programsPath = L"C:\\Users\\Tester\\AppData\\Start Menu\\Programs";
    std::wstring commonDesktopPath = L"C:\\Users\\Public\\Desktop";
    std::wstring commonProgramsPath = L"C:\\ProgramData\\Start Menu\\Programs";
    std::wstring temporaryPath = L"C:\\Users\\Tester\\AppData\\Local\\Temp";
    services::LocalTime startTime{2017, 1, 5, 9, 7, 3, 45};
    ui::Point cursor{0, 0};
    std::function<std::unique_ptr<services::HttpClient>()> httpClientFactory;
    // Files held open by another program: they exist but cannot be deleted
    // or replaced.
    std::vector<std::wstring> lockedFiles;
    // Other programs holding a file open, as Restart Manager sees them: the
    // name it gives each (empty: it cannot name the program, and only a
    // trial open tells that the file is in use), and whether the program
    // closes when asked to, as one that answers the request to close does;
    // one that refuses (unsaved work, a console program) stays.
    struct HoldingProgram {
        std::wstring file;
        std::wstring name;
        bool closesWhenAsked = false;
    };
    std::vector<HoldingProgram> holdingPrograms;
    // Files another program opens only after the installer has looked for
    // files in use: FilesInUse does not see them, but they cannot be
    // deleted or replaced.
    std::vector<std::wstring> heldAfterTheCheck;
    // Files another program (a virus scanner, a backup tool) holds open
    // without sharing until the virtual clock reaches `until`: meanwhile they
    // cannot be deleted, replaced or copied over, as on Windows.
    struct BriefHold {
        std::wstring path;
        std::int64_t until = 0;
    };
    std::vector<BriefHold> briefHolds;
    // The roots the machine trusts for signatures that are not a program's
    // (PEM files, such as a test's certificate authority); by default none.
    std::vector<std::string> trustedRoots;
    // The signature Windows would find in a file with these bytes; by
    // default none.
    SignatureReader signatures = [](const std::string&) { return services::FileSignature{}; };
    // What a held program's start does besides being logged ("start
    // <as>|<file>|<folder>"), such as trying to change the file at that
    // moment; and whether the start succeeds.
    std::function<void(const std::wstring& file)> whenStarting;
    bool startsSucceed = true;
    // The user answers "No" at the elevation prompt of every program
    // started: nothing starts, and the start says it was declined.
    bool elevationDeclined = false;
    // The volume's free bytes as FreeBytes answers them (nothing: it cannot
    // be told), and the bytes the replacing files may still write before a
    // write fails as on a full volume (nothing: no limit). The two differ
    // when another program fills the volume meanwhile.
    std::optional<std::uint64_t> freeBytes;
    std::optional<std::uint64_t> bytesUntilFull;
    // Folders the test user may not write to: no file can be created in them.
    std::vector<std::wstring> readOnlyFolders;
    // The copies of the installer started for a second phase, and what a
    // started copy reports to the run that waits for it (nothing: it ended
    // without reporting).
    struct CopyRun {
        std::vector<std::wstring> arguments;
        bool waited = false;
    };
    std::vector<CopyRun> copyRuns;
    std::optional<int> copyOutcome = 0;
    // In a second phase: the first phase's file, held (it cannot be deleted)
    // until the first phase has ended, and the codes reported to it.
    std::wstring firstPhaseExecutable;
    std::vector<int> reportedToFirstPhase;

    HostRegistry& registry() { return registry_; }
    // Who owns and may change each file and folder, by Windows' rules.
    HostSecurity& security() { return security_; }

    bool FileExists(const std::wstring& path) override;
    bool DirectoryExists(const std::wstring& path) override;
    bool MakeDirectory(const std::wstring& path) override;
    bool MakeDirectory(const std::wstring& path, const services::FolderProtection& protection) override;
    services::FolderAdoption ProtectExistingFolder(const std::wstring& path,
                                                   const services::FolderProtection& protection) override;
    bool RemoveEmptyDirectory(const std::wstring& path) override;
    bool DeleteFileAt(const std::wstring& path) override;
    bool SetAttributes(const std::wstring& path, std::uint32_t attributes) override;
    bool CopyFileTo(const std::wstring& source, const std::wstring& target, bool failIfExists) override;
    bool MoveReplacing(const std::wstring& source, const std::wstring& target) override;
    std::optional<std::uint32_t> Attributes(const std::wstring& path) override;
    std::unique_ptr<services::ReplacingFile> CreateReplacingFile(const std::wstring& target) override;
    std::unique_ptr<services::ReplacingFile> ContinueReplacingFile(const std::wstring& target) override;
    std::optional<std::wstring> RealPath(const std::wstring& path) override;
    std::unique_ptr<services::RemovableEntry> OpenForRemoval(const std::wstring& path) override;
    std::unique_ptr<services::ReadableFile> OpenForReading(const std::wstring& path) override;
    std::unique_ptr<services::ReadableFile> OpenEntryForReading(const std::wstring& path) override;
    std::unique_ptr<services::Sha256Digest> StartSha256() override;
    services::FileSignature VerifyDetachedSignature(std::string_view content, std::string_view signature) override;
    void AppendAnsiText(const std::wstring& path, const std::wstring& text) override;
    void AppendUnicodeText(const std::wstring& path, const std::wstring& text) override;
    std::uint64_t SizeOfFolder(const std::wstring& folder) override;
    std::optional<std::uint64_t> FreeBytes(const std::wstring& folder) override;
    std::wstring TemporaryFolder() override { return temporaryPath; }
    bool WriteRegistryValues(services::RegistryRoot root, const std::wstring& key,
                             const std::vector<services::RegistryValue>& values) override;
    std::optional<std::wstring> ReadRegistryText(services::RegistryRoot root, const std::wstring& key,
                                                 const std::wstring& name) override;
    std::optional<std::uint32_t> ReadRegistryNumber(services::RegistryRoot root, const std::wstring& key,
                                                    const std::wstring& name) override;
    bool DeleteRegistryKey(services::RegistryRoot root, const std::wstring& key) override;
    bool CanWriteRegistryKey(services::RegistryRoot root, const std::wstring& key) override;
    std::unique_ptr<services::HeldLock> ClaimMachineLock(const std::wstring& name) override;
    std::optional<int> RunFromTemporaryCopy(const std::vector<std::wstring>& arguments, const std::wstring& tokenOption,
                                            bool waitForOutcome) override;
    void ReportToFirstPhase(const std::wstring& token, int exitCode) override;
    bool WaitForFirstPhase(const std::wstring& token) override;
    std::vector<services::FileInUse> FilesInUse(const std::vector<std::wstring>& files) override;
    bool AskProgramsToClose(const std::vector<std::wstring>& files) override;
    std::unique_ptr<services::HeldProgram> HoldProgram(const std::wstring& file) override;
    std::wstring SpecialFolderPath(int folder) override;
    void ShellExecuteFile(const std::wstring& operation, const std::wstring& file, const std::wstring& parameters,
                      const std::wstring& directory) override;
    void ShowMessageBox(const std::wstring& text, const std::wstring& title) override;
    void ShowMessage(const std::wstring& text) override;
    void Sleep(int milliseconds) override;
    std::int64_t SteadyMilliseconds() override { return steadyMilliseconds_; }
    // Nothing ever arrives: the virtual clock moves on by the whole wait.
    void WaitForMessages(int milliseconds) override;
    ui::Point CursorPosition() override;
    void SetCursorPosition(ui::Point where) override;
    services::LocalTime Now() override;
    std::wstring ExecutablePath() override;
    std::wstring AccountId() override { return accountId; }
    std::wstring DesktopAccountId() override { return desktopAccountId; }
    std::optional<int> RunAsDesktopUser(const std::vector<std::wstring>& arguments) override;
    std::unique_ptr<services::ShellLink> CreateShellLink() override;
    std::unique_ptr<services::HttpClient> CreateHttpClient() override;

    // The token a copy started by this platform gets.
    static constexpr const wchar_t* kFirstPhaseToken = L"first-phase";

private:
    bool locked(const std::filesystem::path& host) const;
    // Held for a moment by another program (briefHolds), reading included.
    bool briefHeld(const std::filesystem::path& host) const;
    // Runs a file operation through the installer's brief-lock retry.
    bool retryingBriefLocks(const std::function<services::FileFailure()>& attempt);
    // The clock of those retries: its pauses move the virtual clock like
    // Sleep, and are logged as "retry pause N", not as a sleep of the
    // window's (nobody sees them).
    class RetryClock : public services::Clock {
    public:
        explicit RetryClock(HostPlatform& platform) : platform_(platform) {}
        void Sleep(int milliseconds) override;
        std::int64_t SteadyMilliseconds() override { return platform_.steadyMilliseconds_; }
        void WaitForMessages(int milliseconds) override { Sleep(milliseconds); }
        services::LocalTime Now() override { return platform_.Now(); }

    private:
        HostPlatform& platform_;
    };
    bool insideReadOnlyFolder(const std::wstring& path) const;
    // Gives everything below the folder the owner and its inherited rights alone.
    services::FolderAdoption resetInside(const std::filesystem::path& folder, const std::wstring& windowsFolder,
                                         const std::wstring& owner);

    HostFileSystem files_;
    // Brief-lock pauses may move it from a signature reading's thread.
    std::atomic<std::int64_t> steadyMilliseconds_ = 0;
    EventLog& log_;
    HostRegistry registry_;
    HostSecurity security_{files_};
    // The machine's named locks that are held, shared by the lock objects.
    std::shared_ptr<std::set<std::wstring>> heldLocks_ = std::make_shared<std::set<std::wstring>>();
    // The files held open without write or delete sharing (HoldProgram), as
    // often as each is held.
    std::shared_ptr<std::multiset<std::filesystem::path>> heldFiles_ =
        std::make_shared<std::multiset<std::filesystem::path>>();
};

}  // namespace kanvel::platform::host
