#include "platform/win32/PosixFileCalls.h"

#include <algorithm>
#include <vector>

#include "platform/win32/ResourceHolders.h"

namespace kanvel::platform::win32 {

namespace {
// The information classes that Windows 10 1709 added to
// FILE_INFO_BY_HANDLE_CLASS; the headers name them only for programs that
// require that version, and this one asks for them and falls back.
constexpr auto kDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr auto kRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);

// What SetFileInformationByHandle answers for an information class the
// system (or its file system driver, such as FAT's) does not know; Wine says
// that it is not implemented.
bool Unsupported(DWORD error) {
    return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION ||
           error == ERROR_CALL_NOT_IMPLEMENTED;
}

bool SetRename(HANDLE file, const std::wstring& target, FILE_INFO_BY_HANDLE_CLASS kind, DWORD flags) {
    const std::size_t nameBytes = target.size() * sizeof(wchar_t);
    // Zeroed, so the name ends with the NUL the structure's field expects.
    std::vector<std::uint8_t> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->Flags = flags;  // for the classic call, its first byte is ReplaceIfExists
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::copy(target.begin(), target.end(), rename->FileName);
    return SetFileInformationByHandle(file, kind, rename, static_cast<DWORD>(buffer.size())) != 0;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
}  // namespace

bool RenameReplacing(HANDLE file, const std::wstring& target) {
    if (SetRename(file, target, kRenameInfoEx, FILE_RENAME_FLAG_POSIX_SEMANTICS | FILE_RENAME_FLAG_REPLACE_IF_EXISTS))
        return true;
    if (!Unsupported(GetLastError())) return false;
    return SetRename(file, target, FileRenameInfo, TRUE);
}

bool MarkForDeletion(HANDLE file) {
    FILE_DISPOSITION_INFO_EX posix{FILE_DISPOSITION_FLAG_DELETE | FILE_DISPOSITION_FLAG_POSIX_SEMANTICS};
    if (SetFileInformationByHandle(file, kDispositionInfoEx, &posix, sizeof posix)) return true;
    if (!Unsupported(GetLastError())) return false;
    FILE_DISPOSITION_INFO classic{TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &classic, sizeof classic) != 0;
}

bool DeleteFileNamed(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) return false;
    FILE_DISPOSITION_INFO_EX posix{FILE_DISPOSITION_FLAG_DELETE | FILE_DISPOSITION_FLAG_POSIX_SEMANTICS};
    if (SetFileInformationByHandle(file.get(), kDispositionInfoEx, &posix, sizeof posix)) return file.close();
    if (!Unsupported(GetLastError())) return false;
    file.reset();
    return DeleteFileW(path.c_str()) != 0;
}

bool MoveFileReplacing(const std::wstring& source, const std::wstring& target) {
    FileHandle file(CreateFileW(source.c_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) return false;
    if (SetRename(file.get(), target, kRenameInfoEx, FILE_RENAME_FLAG_POSIX_SEMANTICS |
                                                            FILE_RENAME_FLAG_REPLACE_IF_EXISTS))
        return file.close();
    if (!Unsupported(GetLastError())) return false;
    file.reset();
    return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

services::FileFailure FileFailureOf(DWORD error, const std::wstring& path) {
    switch (error) {
        case ERROR_SUCCESS: return services::FileFailure::None;
        case ERROR_SHARING_VIOLATION: return services::FileFailure::SharingViolation;
        case ERROR_LOCK_VIOLATION: return services::FileFailure::LockViolation;
        case ERROR_ACCESS_DENIED: {
            const DWORD attributes = GetFileAttributesW(path.c_str());
            const bool lasting = attributes != INVALID_FILE_ATTRIBUTES &&
                                 (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
            return lasting ? services::FileFailure::ReadOnly : services::FileFailure::AccessDenied;
        }
        default: return services::FileFailure::Other;
    }
}

bool RetryingBriefLocks(services::Clock& clock, const std::wstring& path, const std::function<bool()>& call) {
    DWORD last = ERROR_SUCCESS;
    const auto outcome = services::BriefLockRetry(clock).Run([&] {
        if (call()) return services::FileFailure::None;
        last = GetLastError();
        return FileFailureOf(last, path);
    });
    SetLastError(last);
    return outcome == services::FileFailure::None;
}

}  // namespace kanvel::platform::win32
