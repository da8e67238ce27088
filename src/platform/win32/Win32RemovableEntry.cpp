#include "platform/win32/Win32RemovableEntry.h"

#include "platform/win32/FinalPath.h"
#include "platform/win32/PosixFileCalls.h"

namespace kanvel::platform::win32 {

namespace {
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
}  // namespace

std::unique_ptr<Win32RemovableEntry> Win32RemovableEntry::Open(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), kAccess, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) return nullptr;
    auto realPath = FinalPathOf(file.get());
    if (!realPath) return nullptr;
    return std::unique_ptr<Win32RemovableEntry>(new Win32RemovableEntry(std::move(file), std::move(*realPath)));
}

Win32RemovableEntry::Win32RemovableEntry(FileHandle file, std::wstring realPath)
    : file_(std::move(file)), realPath_(std::move(realPath)) {}

bool Win32RemovableEntry::Remove() {
    // Marked through this handle, its name gone when it closes even if a
    // scanner still has it open; a folder that is not empty refuses the
    // mark, as RemoveDirectoryW refuses it.
    if (!MarkForDeletion(file_.get())) return false;
    return file_.close();
}

bool Win32RemovableEntry::ClearReadOnly() {
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(file_.get(), FileBasicInfo, &basic, sizeof basic)) return false;
    if ((basic.FileAttributes & FILE_ATTRIBUTE_READONLY) == 0) return true;
    // Times of 0 are left as they are.
    basic.CreationTime.QuadPart = basic.LastAccessTime.QuadPart = 0;
    basic.LastWriteTime.QuadPart = basic.ChangeTime.QuadPart = 0;
    basic.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(file_.get(), FileBasicInfo, &basic, sizeof basic) != FALSE;
}

}  // namespace kanvel::platform::win32
