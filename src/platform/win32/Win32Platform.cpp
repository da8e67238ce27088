#include "platform/win32/Win32Platform.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <array>
#include <cwchar>
#include <string>

#include "platform/win32/AuthenticodeSignature.h"
#include "platform/win32/FinalPath.h"
#include "platform/win32/ResourceHolders.h"
#include "platform/win32/SystemErrorText.h"
#include "platform/win32/Win32RemovableEntry.h"
#include "platform/win32/Win32ReplacingFile.h"
#include "platform/win32/Win32ShellLink.h"
#include "platform/win32/http/WinHttpClient.h"
#include "services/InstallerError.h"
#include "services/PathLimits.h"
#include "services/ProgramTitle.h"

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

std::string AnsiBytes(const std::wstring& text) {
    const int wideLength = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

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
bool Win32Platform::RemoveEmptyDirectory(const std::wstring& path) { return RemoveDirectoryW(path.c_str()) != 0; }
bool Win32Platform::DeleteFileAt(const std::wstring& path) { return DeleteFileW(path.c_str()) != 0; }

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
    return CopyFileW(from.data(), to.data(), failIfExists ? TRUE : FALSE) != 0;
}

bool Win32Platform::MoveReplacing(const std::wstring& source, const std::wstring& target) {
    return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::optional<std::uint32_t> Win32Platform::Attributes(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

std::unique_ptr<services::ReplacingFile> Win32Platform::CreateReplacingFile(const std::wstring& target) {
    return std::make_unique<Win32ReplacingFile>(target);
}

std::optional<std::wstring> Win32Platform::RealPath(const std::wstring& path) { return FinalPathOf(path); }

std::unique_ptr<services::RemovableEntry> Win32Platform::OpenForRemoval(const std::wstring& path) {
    return Win32RemovableEntry::Open(path);
}

services::FileSignature Win32Platform::SignatureOf(const std::wstring& path) { return AuthenticodeSignatureOf(path); }

void Win32Platform::AppendAnsiText(const std::wstring& path, const std::wstring& text) {
    FileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw LastIoError();
    const std::string bytes = AnsiBytes(text);
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        throw LastIoError();
    // The text may reach the disk only now: a failed close is a failed write.
    if (!file.close()) throw LastIoError();
}

std::wstring Win32Platform::SpecialFolderPath(int folder) {
    std::array<wchar_t, MAX_PATH> buffer{};
    SHGetSpecialFolderPathW(nullptr, buffer.data(), folder, FALSE);
    return std::wstring(buffer.data());
}

void Win32Platform::ShellExecuteFile(const std::wstring& operation, const std::wstring& file,
                                 const std::wstring& parameters, const std::wstring& directory) {
    ShellExecuteW(GetActiveWindow(), operation.empty() ? nullptr : operation.c_str(), file.c_str(),
                  parameters.empty() ? nullptr : parameters.c_str(), directory.empty() ? nullptr : directory.c_str(),
                  SW_SHOWNORMAL);
}

void Win32Platform::ShowMessageBox(const std::wstring& text, const std::wstring& title) {
    MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_TASKMODAL);
}

void Win32Platform::ShowMessage(const std::wstring& text) {
    const std::wstring title = services::ProgramTitleOf(ExecutablePath());
    MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_TASKMODAL);
}

void Win32Platform::Sleep(int milliseconds) { ::Sleep(static_cast<DWORD>(milliseconds)); }

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

std::unique_ptr<services::ShellLink> Win32Platform::CreateShellLink() { return std::make_unique<Win32ShellLink>(); }

std::unique_ptr<services::HttpClient> Win32Platform::CreateHttpClient() { return std::make_unique<WinHttpClient>(); }

}  // namespace kanvel::platform::win32
