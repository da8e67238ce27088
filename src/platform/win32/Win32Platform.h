#pragma once

#include "services/system/EveryRole.h"

namespace kanvel::platform::win32 {

class Win32Toolkit;

// Every role of the platform as the named Windows calls perform them.
class Win32Platform : public services::EveryRole {
public:
    // The toolkit whose main window owns the message boxes while it lives:
    // owned, a box has no taskbar button of its own and stays above the
    // window. nullptr: the boxes have no owner (a run without a window).
    void OwnNoticesBy(const Win32Toolkit* toolkit) { noticeOwner_ = toolkit; }

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
    std::wstring TemporaryFolder() override;
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
    std::wstring SpecialFolderPath(int folder) override;
    std::unique_ptr<services::HeldProgram> HoldProgram(const std::wstring& file) override;
    void ShellExecuteFile(const std::wstring& operation, const std::wstring& file, const std::wstring& parameters,
                      const std::wstring& directory) override;
    void ShowMessageBox(const std::wstring& text, const std::wstring& title) override;
    void ShowMessage(const std::wstring& text) override;
    void Sleep(int milliseconds) override;
    std::int64_t SteadyMilliseconds() override;
    void WaitForMessages(int milliseconds) override;
    ui::Point CursorPosition() override;
    void SetCursorPosition(ui::Point where) override;
    services::LocalTime Now() override;
    std::wstring ExecutablePath() override;
    std::wstring AccountId() override;
    std::wstring DesktopAccountId() override;
    std::optional<int> RunAsDesktopUser(const std::vector<std::wstring>& arguments) override;
    std::unique_ptr<services::ShellLink> CreateShellLink() override;
    std::unique_ptr<services::HttpClient> CreateHttpClient() override;

private:
    const Win32Toolkit* noticeOwner_ = nullptr;
};

}  // namespace kanvel::platform::win32
