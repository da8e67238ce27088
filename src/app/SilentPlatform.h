#pragma once

#include "services/PlatformOperations.h"
#include "app/RunLog.h"

namespace kanvel::app {

// The platform of a run without a window: the real platform's files, shell
// folders, clock and HTTP client, but message boxes and simple messages go
// to the run's log, the cursor never moves, nothing sleeps and no other
// program is started (the log says which one would have been).
class SilentPlatform : public services::PlatformOperations {
public:
    SilentPlatform(services::PlatformOperations& inner, RunLog& log);

    bool FileExists(const std::wstring& path) override { return inner_.FileExists(path); }
    bool DirectoryExists(const std::wstring& path) override { return inner_.DirectoryExists(path); }
    bool MakeDirectory(const std::wstring& path) override { return inner_.MakeDirectory(path); }
    bool RemoveEmptyDirectory(const std::wstring& path) override { return inner_.RemoveEmptyDirectory(path); }
    bool DeleteFileAt(const std::wstring& path) override { return inner_.DeleteFileAt(path); }
    bool SetAttributes(const std::wstring& path, std::uint32_t attributes) override {
        return inner_.SetAttributes(path, attributes);
    }
    bool CopyFileTo(const std::wstring& source, const std::wstring& target, bool failIfExists) override {
        return inner_.CopyFileTo(source, target, failIfExists);
    }
    bool MoveReplacing(const std::wstring& source, const std::wstring& target) override {
        return inner_.MoveReplacing(source, target);
    }
    std::optional<std::uint32_t> Attributes(const std::wstring& path) override { return inner_.Attributes(path); }
    std::unique_ptr<services::ReplacingFile> CreateReplacingFile(const std::wstring& target) override {
        return inner_.CreateReplacingFile(target);
    }
    std::unique_ptr<services::ReplacingFile> ContinueReplacingFile(const std::wstring& target) override {
        return inner_.ContinueReplacingFile(target);
    }
    std::optional<std::wstring> RealPath(const std::wstring& path) override { return inner_.RealPath(path); }
    std::unique_ptr<services::RemovableEntry> OpenForRemoval(const std::wstring& path) override {
        return inner_.OpenForRemoval(path);
    }
    std::unique_ptr<services::ReadableFile> OpenForReading(const std::wstring& path) override {
        return inner_.OpenForReading(path);
    }
    std::unique_ptr<services::Sha256Digest> StartSha256() override { return inner_.StartSha256(); }
    services::FileSignature SignatureOf(const std::wstring& path) override { return inner_.SignatureOf(path); }
    void AppendAnsiText(const std::wstring& path, const std::wstring& text) override {
        inner_.AppendAnsiText(path, text);
    }
    void AppendUnicodeText(const std::wstring& path, const std::wstring& text) override {
        inner_.AppendUnicodeText(path, text);
    }
    std::uint64_t SizeOfFolder(const std::wstring& folder) override { return inner_.SizeOfFolder(folder); }
    std::wstring TemporaryFolder() override { return inner_.TemporaryFolder(); }
    bool WriteRegistryValues(services::RegistryRoot root, const std::wstring& key,
                             const std::vector<services::RegistryValue>& values) override {
        return inner_.WriteRegistryValues(root, key, values);
    }
    std::optional<std::wstring> ReadRegistryText(services::RegistryRoot root, const std::wstring& key,
                                                 const std::wstring& name) override {
        return inner_.ReadRegistryText(root, key, name);
    }
    bool DeleteRegistryKey(services::RegistryRoot root, const std::wstring& key) override {
        return inner_.DeleteRegistryKey(root, key);
    }
    bool CanWriteRegistryKey(services::RegistryRoot root, const std::wstring& key) override {
        return inner_.CanWriteRegistryKey(root, key);
    }
    std::unique_ptr<services::HeldLock> ClaimMachineLock(const std::wstring& name) override {
        return inner_.ClaimMachineLock(name);
    }
    std::optional<int> RunFromTemporaryCopy(const std::vector<std::wstring>& arguments, const std::wstring& tokenOption,
                                            bool waitForOutcome) override {
        return inner_.RunFromTemporaryCopy(arguments, tokenOption, waitForOutcome);
    }
    void ReportToFirstPhase(const std::wstring& token, int exitCode) override {
        inner_.ReportToFirstPhase(token, exitCode);
    }
    bool WaitForFirstPhase(const std::wstring& token) override { return inner_.WaitForFirstPhase(token); }
    std::wstring SpecialFolderPath(int folder) override { return inner_.SpecialFolderPath(folder); }
    void ShellExecuteFile(const std::wstring& operation, const std::wstring& file, const std::wstring& parameters,
                          const std::wstring& directory) override;
    void ShowMessageBox(const std::wstring& text, const std::wstring& title) override;
    void ShowMessage(const std::wstring& text) override;
    void Sleep(int) override {}
    // A pause before a download is tried again is a real wait, window or not.
    std::int64_t SteadyMilliseconds() override { return inner_.SteadyMilliseconds(); }
    void WaitForMessages(int milliseconds) override { inner_.WaitForMessages(milliseconds); }
    ui::Point CursorPosition() override { return inner_.CursorPosition(); }
    void SetCursorPosition(ui::Point) override {}
    services::LocalTime Now() override { return inner_.Now(); }
    std::wstring ExecutablePath() override { return inner_.ExecutablePath(); }
    std::unique_ptr<services::ShellLink> CreateShellLink() override { return inner_.CreateShellLink(); }
    std::unique_ptr<services::HttpClient> CreateHttpClient() override { return inner_.CreateHttpClient(); }

private:
    services::PlatformOperations& inner_;
    RunLog& log_;
};

}  // namespace kanvel::app
