#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "platform/host/EventLog.h"
#include "platform/host/HostFileSystem.h"
#include "platform/host/HostReplacingFile.h"
#include "platform/host/HostRegistry.h"
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
    // The signature Windows would find in a file with these bytes; by
    // default none.
    SignatureReader signatures = [](const std::string&) { return services::FileSignature{}; };
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

    bool FileExists(const std::wstring& path) override;
    bool DirectoryExists(const std::wstring& path) override;
    bool MakeDirectory(const std::wstring& path) override;
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
    std::unique_ptr<services::Sha256Digest> StartSha256() override;
    services::FileSignature SignatureOf(const std::wstring& path) override;
    void AppendAnsiText(const std::wstring& path, const std::wstring& text) override;
    void AppendUnicodeText(const std::wstring& path, const std::wstring& text) override;
    std::uint64_t SizeOfFolder(const std::wstring& folder) override;
    std::optional<std::uint64_t> FreeBytes(const std::wstring& folder) override;
    std::wstring TemporaryFolder() override { return temporaryPath; }
    bool WriteRegistryValues(services::RegistryRoot root, const std::wstring& key,
                             const std::vector<services::RegistryValue>& values) override;
    std::optional<std::wstring> ReadRegistryText(services::RegistryRoot root, const std::wstring& key,
                                                 const std::wstring& name) override;
    bool DeleteRegistryKey(services::RegistryRoot root, const std::wstring& key) override;
    bool CanWriteRegistryKey(services::RegistryRoot root, const std::wstring& key) override;
    std::unique_ptr<services::HeldLock> ClaimMachineLock(const std::wstring& name) override;
    std::optional<int> RunFromTemporaryCopy(const std::vector<std::wstring>& arguments, const std::wstring& tokenOption,
                                            bool waitForOutcome) override;
    void ReportToFirstPhase(const std::wstring& token, int exitCode) override;
    bool WaitForFirstPhase(const std::wstring& token) override;
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
    std::unique_ptr<services::ShellLink> CreateShellLink() override;
    std::unique_ptr<services::HttpClient> CreateHttpClient() override;

    // The token a copy started by this platform gets.
    static constexpr const wchar_t* kFirstPhaseToken = L"first-phase";

private:
    bool locked(const std::filesystem::path& host) const;
    bool insideReadOnlyFolder(const std::wstring& path) const;

    HostFileSystem files_;
    std::int64_t steadyMilliseconds_ = 0;
    EventLog& log_;
    HostRegistry registry_;
    // The machine's named locks that are held, shared by the lock objects.
    std::shared_ptr<std::set<std::wstring>> heldLocks_ = std::make_shared<std::set<std::wstring>>();
};

}  // namespace kanvel::platform::host
