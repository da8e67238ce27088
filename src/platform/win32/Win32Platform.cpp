#include "platform/win32/Win32Platform.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <array>
#include <cwchar>
#include <string>
#include <variant>

#include "platform/win32/AccountTemporaryFolder.h"
#include "platform/win32/AdministratorsLock.h"
#include "platform/win32/CngSha256.h"
#include "platform/win32/DetachedSignature.h"
#include "platform/win32/FinalPath.h"
#include "platform/win32/MarkOfTheWeb.h"
#include "platform/win32/ProtectedFolder.h"
#include "platform/win32/ResourceHolders.h"
#include "platform/win32/RestartManager.h"
#include "platform/win32/SystemErrorText.h"
#include "platform/win32/TemporaryCopy.h"
#include "platform/win32/Win32HeldProgram.h"
#include "platform/win32/Win32ReadableFile.h"
#include "platform/win32/PosixFileCalls.h"
#include "platform/win32/DesktopUserStart.h"
#include "platform/win32/ProcessAccount.h"
#include "platform/win32/Win32RemovableEntry.h"
#include "platform/win32/Win32ReplacingFile.h"
#include "platform/win32/Win32ShellLink.h"
#include "platform/win32/Win32Toolkit.h"
#include "platform/win32/http/WinHttpClient.h"
#include "services/installer/InstallerError.h"
#include "services/paths/PathLimits.h"
#include "services/installer/ProgramTitle.h"

namespace kanvel::platform::win32 {

namespace {
// "I/O error 5: Access is denied." for the calling thread's last error; the
// number alone when the system has no words for it.
services::InputOutputError LastIoError() {
    const DWORD error = GetLastError();
    std::wstring text = L"I/O error " + std::to_wstring(error);
    if (const std::wstring description = SystemErrorText(error); !description.empty()) text += L": " + description;
    return services::InputOutputError(text);
}

std::string BytesIn(UINT codePage, const std::wstring& text) {
    const int wideLength = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(codePage, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), wideLength, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// Writes all the bytes to the file and closes it: the bytes may reach the
// disk only on closing, so a failed close is a failed write.
void WriteAndClose(FileHandle& file, const std::string& bytes) {
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        throw LastIoError();
    if (!file.close()) throw LastIoError();
}

// A file opened at a name that is a link (a reparse point: symbolic link,
// junction, mount point) or one more name of a file (a hard link) is not
// written: the text would land in a file someone else chose.
void RefuseLink(const FileHandle& file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.get(), &information)) throw LastIoError();
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || information.nNumberOfLinks > 1) {
        SetLastError(ERROR_CANT_ACCESS_FILE);
        throw LastIoError();
    }
}

HKEY RootKey(services::RegistryRoot root) {
    return root == services::RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

bool SetRegistryValue(HKEY key, const services::RegistryValue& value) {
    if (const auto* text = std::get_if<std::wstring>(&value.data))
        return RegSetValueExW(key, value.name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text->c_str()),
                              static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    const DWORD number = std::get<std::uint32_t>(value.data);
    return RegSetValueExW(key, value.name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                          sizeof(number)) == ERROR_SUCCESS;
}

// The named mutex that marks a run of the installer, held until the run ends.
class MachineLock : public services::HeldLock {
public:
    explicit MachineLock(KernelHandle mutex) : mutex_(std::move(mutex)) {}

private:
    KernelHandle mutex_;
};

// Copies a path into a fixed buffer of the copy's size; false when it does not fit.
bool IntoCopyBuffer(const std::wstring& path, std::array<wchar_t, services::kCopyPathBufferSize>& buffer) {
    if (path.size() > services::kMaxCopyPathLength) return false;
    std::wmemcpy(buffer.data(), path.c_str(), path.size() + 1);
    return true;
}
}  // namespace

bool Win32Platform::FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32Platform::DirectoryExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Platform::MakeDirectory(const std::wstring& path) { return CreateDirectoryW(path.c_str(), nullptr) != 0; }

bool Win32Platform::MakeDirectory(const std::wstring& path, const services::FolderProtection& protection) {
    return CreateProtectedFolder(path, protection);
}

services::FolderAdoption Win32Platform::ProtectExistingFolder(const std::wstring& path,
                                                              const services::FolderProtection& protection) {
    return AdoptProtectedFolder(path, protection);
}
bool Win32Platform::RemoveEmptyDirectory(const std::wstring& path) { return RemoveDirectoryW(path.c_str()) != 0; }
bool Win32Platform::DeleteFileAt(const std::wstring& path) {
    return RetryingBriefLocks(*this, path, [&] { return DeleteFileNamed(path); });
}

bool Win32Platform::SetAttributes(const std::wstring& path, std::uint32_t attributes) {
    // 0 means "no attributes": Windows spells that FILE_ATTRIBUTE_NORMAL.
    const DWORD value = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
    return SetFileAttributesW(path.c_str(), value) != 0;
}

bool Win32Platform::CopyFileTo(const std::wstring& source, const std::wstring& target, bool failIfExists) {
    std::array<wchar_t, services::kCopyPathBufferSize> from{};
    std::array<wchar_t, services::kCopyPathBufferSize> to{};
    if (!IntoCopyBuffer(source, from) || !IntoCopyBuffer(target, to)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    if (!RetryingBriefLocks(*this, target, [&] { return CopyFileW(from.data(), to.data(), failIfExists) != 0; }))
        return false;
    RemoveMarkOfTheWeb(target);
    return true;
}

bool Win32Platform::MoveReplacing(const std::wstring& source, const std::wstring& target) {
    return RetryingBriefLocks(*this, target, [&] { return MoveFileReplacing(source, target); });
}

std::optional<std::uint32_t> Win32Platform::Attributes(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

std::unique_ptr<services::ReplacingFile> Win32Platform::CreateReplacingFile(const std::wstring& target) {
    return std::make_unique<Win32ReplacingFile>(target, *this);
}

std::unique_ptr<services::ReplacingFile> Win32Platform::ContinueReplacingFile(const std::wstring& target) {
    return Win32ReplacingFile::Continue(target, *this);
}

std::optional<std::wstring> Win32Platform::RealPath(const std::wstring& path) { return FinalPathOf(path); }

std::unique_ptr<services::RemovableEntry> Win32Platform::OpenForRemoval(const std::wstring& path) {
    // Held by a scanner without sharing deletion, the entry cannot be opened
    // for a moment: the open is tried again like a delete.
    std::unique_ptr<Win32RemovableEntry> entry;
    RetryingBriefLocks(*this, path, [&] { return (entry = Win32RemovableEntry::Open(path)) != nullptr; });
    return entry;
}

std::unique_ptr<services::ReadableFile> Win32Platform::OpenForReading(const std::wstring& path) {
    return Win32ReadableFile::Open(path);
}

std::unique_ptr<services::ReadableFile> Win32Platform::OpenEntryForReading(const std::wstring& path) {
    return Win32ReadableFile::Open(path, Win32ReadableFile::Links::OpenedThemselves);
}

std::unique_ptr<services::Sha256Digest> Win32Platform::StartSha256() { return std::make_unique<CngSha256>(); }

services::FileSignature Win32Platform::VerifyDetachedSignature(std::string_view content, std::string_view signature) {
    return DetachedSignatureOf(content, signature);
}


void Win32Platform::AppendAnsiText(const std::wstring& path, const std::wstring& text) {
    FileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw LastIoError();
    WriteAndClose(file, BytesIn(CP_ACP, text));
}

void Win32Platform::AppendUnicodeText(const std::wstring& path, const std::wstring& text) {
    // A link at the name is opened itself, never followed.
    FileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) throw LastIoError();
    // "NUL", "CON" and their kin open devices, not files.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        SetLastError(ERROR_INVALID_NAME);
        throw LastIoError();
    }
    RefuseLink(file);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) throw LastIoError();
    constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";
    WriteAndClose(file, (size.QuadPart == 0 ? kByteOrderMark : "") + BytesIn(CP_UTF8, text));
}

std::uint64_t Win32Platform::SizeOfFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW entry{};
    const FindHandle search(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                             nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search) return 0;
    std::uint64_t size = 0;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        // A link may lead outside the folder, or back into it.
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            size += SizeOfFolder(folder + L"\\" + name);
        else
            size += (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
    } while (FindNextFileW(search.get(), &entry));
    return size;
}

std::optional<std::uint64_t> Win32Platform::FreeBytes(const std::wstring& folder) {
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) return std::nullopt;
    return available.QuadPart;
}

std::wstring Win32Platform::TemporaryFolder() {
    std::wstring folder = AccountTemporaryFolder();
    if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return folder;
}

bool Win32Platform::WriteRegistryValues(services::RegistryRoot root, const std::wstring& key,
                                        const std::vector<services::RegistryValue>& values) {
    RegistryKey opened;
    if (RegCreateKeyExW(RootKey(root), key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        opened.put(), nullptr) != ERROR_SUCCESS)
        return false;
    for (const auto& value : values)
        if (!SetRegistryValue(opened.get(), value)) return false;
    return true;
}

std::optional<std::wstring> Win32Platform::ReadRegistryText(services::RegistryRoot root, const std::wstring& key,
                                                            const std::wstring& name) {
    DWORD size = 0;
    if (RegGetValueW(RootKey(root), key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(RootKey(root), key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, text.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(std::wcslen(text.c_str()));
    return text;
}

std::optional<std::uint32_t> Win32Platform::ReadRegistryNumber(services::RegistryRoot root, const std::wstring& key,
                                                               const std::wstring& name) {
    DWORD number = 0;
    DWORD size = sizeof(number);
    const LSTATUS status =
        RegGetValueW(RootKey(root), key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &number, &size);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return number;
}

bool Win32Platform::DeleteRegistryKey(services::RegistryRoot root, const std::wstring& key) {
    const LSTATUS status = RegDeleteKeyW(RootKey(root), key.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool Win32Platform::CanWriteRegistryKey(services::RegistryRoot root, const std::wstring& key) {
    RegistryKey opened;
    return RegCreateKeyExW(RootKey(root), key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_CREATE_SUB_KEY | KEY_SET_VALUE, nullptr, opened.put(), nullptr) == ERROR_SUCCESS;
}

std::unique_ptr<services::HeldLock> Win32Platform::ClaimMachineLock(const std::wstring& name) {
    // An elevated run's lock lies where only administrators can reach it.
    if (auto administrators = ClaimAdministratorsLock(name)) return std::move(*administrators);
    // "Global\" makes one lock for every session of the machine: a user's and
    // the system account's (a deployment tool's) alike.
    SetLastError(ERROR_SUCCESS);
    KernelHandle mutex(CreateMutexW(nullptr, TRUE, (L"Global\\" + name).c_str()));
    // Another run holds it: it exists, or another user made it and this one may not open it.
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return nullptr;
    return std::make_unique<MachineLock>(std::move(mutex));
}

std::optional<int> Win32Platform::RunFromTemporaryCopy(const std::vector<std::wstring>& arguments,
                                                       const std::wstring& tokenOption, bool waitForOutcome) {
    return win32::RunFromTemporaryCopy(ExecutablePath(), arguments, tokenOption, waitForOutcome);
}

void Win32Platform::ReportToFirstPhase(const std::wstring& token, int exitCode) {
    win32::ReportToFirstPhase(token, exitCode);
}

bool Win32Platform::WaitForFirstPhase(const std::wstring& token) { return win32::WaitForFirstPhase(token); }

std::vector<services::FileInUse> Win32Platform::FilesInUse(const std::vector<std::wstring>& files) {
    return win32::FilesInUse(*this, files);
}

bool Win32Platform::AskProgramsToClose(const std::vector<std::wstring>& files) {
    return win32::AskProgramsToClose(files);
}

std::wstring Win32Platform::SpecialFolderPath(int folder) {
    std::array<wchar_t, MAX_PATH> buffer{};
    SHGetSpecialFolderPathW(nullptr, buffer.data(), folder, FALSE);
    return std::wstring(buffer.data());
}

std::unique_ptr<services::HeldProgram> Win32Platform::HoldProgram(const std::wstring& file) {
    return Win32HeldProgram::Hold(file);
}

void Win32Platform::ShellExecuteFile(const std::wstring& operation, const std::wstring& file,
                                 const std::wstring& parameters, const std::wstring& directory) {
    ShellExecuteW(GetActiveWindow(), operation.empty() ? nullptr : operation.c_str(), file.c_str(),
                  parameters.empty() ? nullptr : parameters.c_str(), directory.empty() ? nullptr : directory.c_str(),
                  SW_SHOWNORMAL);
}

void Win32Platform::ShowMessageBox(const std::wstring& text, const std::wstring& title) {
    // With an owner the box disables it; without one, every window of the thread.
    const HWND owner = noticeOwner_ != nullptr ? noticeOwner_->mainWindow() : nullptr;
    MessageBoxW(owner, text.c_str(), title.c_str(), MB_OK | MB_TASKMODAL);
}

void Win32Platform::ShowMessage(const std::wstring& text) {
    ShowMessageBox(text, services::ProgramTitleOf(ExecutablePath()));
}

void Win32Platform::Sleep(int milliseconds) { ::Sleep(static_cast<DWORD>(milliseconds)); }

std::int64_t Win32Platform::SteadyMilliseconds() { return static_cast<std::int64_t>(GetTickCount64()); }

void Win32Platform::WaitForMessages(int milliseconds) {
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(milliseconds), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

ui::Point Win32Platform::CursorPosition() {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

void Win32Platform::SetCursorPosition(ui::Point where) { SetCursorPos(where.x, where.y); }

services::LocalTime Win32Platform::Now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

std::wstring Win32Platform::ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring Win32Platform::AccountId() { return ThisProcessAccountId(); }

std::wstring Win32Platform::DesktopAccountId() { return DesktopShellAccountId(); }

std::optional<int> Win32Platform::RunAsDesktopUser(const std::vector<std::wstring>& arguments) {
    return RunAsDesktopShellUser(ExecutablePath(), arguments);
}

std::unique_ptr<services::ShellLink> Win32Platform::CreateShellLink() { return std::make_unique<Win32ShellLink>(); }

std::unique_ptr<services::HttpClient> Win32Platform::CreateHttpClient() { return std::make_unique<WinHttpClient>(); }

}  // namespace kanvel::platform::win32
