#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/host/EventLog.h"
#include "platform/host/HostFileSystem.h"
#include "platform/host/HostReplacingFile.h"
#include "services/PlatformOperations.h"

namespace kanvel::platform::host {

// The platform of the native tests: a real temporary tree behind Windows
// paths, a virtual clock that Sleep advances without sleeping, a virtual
// cursor, and every message recorded in the event log instead of shown.
class HostPlatform : public services::PlatformOperations {
public:
    HostPlatform(std::filesystem::path root, EventLog& log);

    HostFileSystem& files() { return files_; }
    EventLog& log() { return log_; }

    // Test settings.
    std::wstring executablePath = L"C:\\Instal\\Instalator.exe";
    std::wstring desktopPath = L"C:\\Users\\Tester\\Desktop";
    std::wstring programsPath = L"C:\\Users\\Tester\\AppData\\Start Menu\\Programs";
    services::LocalTime startTime{2017, 1, 5, 9, 7, 3, 45};
    ui::Point cursor{0, 0};
    std::function<std::unique_ptr<services::HttpClient>()> httpClientFactory;
    // Files held open by another program: they exist but cannot be deleted
    // or replaced.
    std::vector<std::wstring> lockedFiles;
    // The signature Windows would find in a file with these bytes; by
    // default none.
    SignatureReader signatures = [](const std::string&) { return services::FileSignature{}; };

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
    std::optional<std::wstring> RealPath(const std::wstring& path) override;
    std::unique_ptr<services::RemovableEntry> OpenForRemoval(const std::wstring& path) override;
    services::FileSignature SignatureOf(const std::wstring& path) override;
    void AppendAnsiText(const std::wstring& path, const std::wstring& text) override;
    std::wstring SpecialFolderPath(int folder) override;
    void ShellExecuteFile(const std::wstring& operation, const std::wstring& file, const std::wstring& parameters,
                      const std::wstring& directory) override;
    void ShowMessageBox(const std::wstring& text, const std::wstring& title) override;
    void ShowMessage(const std::wstring& text) override;
    void Sleep(int milliseconds) override;
    ui::Point CursorPosition() override;
    void SetCursorPosition(ui::Point where) override;
    services::LocalTime Now() override;
    std::wstring ExecutablePath() override;
    std::unique_ptr<services::ShellLink> CreateShellLink() override;
    std::unique_ptr<services::HttpClient> CreateHttpClient() override;

private:
    bool locked(const std::filesystem::path& host) const;

    HostFileSystem files_;
    EventLog& log_;
};

}  // namespace kanvel::platform::host
