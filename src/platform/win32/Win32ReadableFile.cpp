#include "platform/win32/Win32ReadableFile.h"

#include <algorithm>

#include "platform/win32/FinalPath.h"
#include "platform/win32/SystemErrorText.h"
#include "services/installer/InstallerError.h"

namespace kanvel::platform::win32 {

std::unique_ptr<Win32ReadableFile> Win32ReadableFile::Open(const std::wstring& path, Links links) {
    // With FILE_FLAG_OPEN_REPARSE_POINT a symbolic link or junction at the
    // name is opened itself instead of what it leads to.
    const DWORD linkFlag = links == Links::OpenedThemselves ? FILE_FLAG_OPEN_REPARSE_POINT : 0;
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN | linkFlag, nullptr));
    if (!file) return nullptr;
    // A folder opens only with backup semantics; a device is no file.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return nullptr;
    return std::unique_ptr<Win32ReadableFile>(new Win32ReadableFile(std::move(file), path));
}

std::uint64_t Win32ReadableFile::Size() {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file_.get(), &size)) fail();
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t Win32ReadableFile::Read(std::uint8_t* buffer, std::size_t size) {
    DWORD got = 0;
    const auto piece = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!ReadFile(file_.get(), buffer, piece, &got, nullptr)) fail();
    return got;
}

bool Win32ReadableFile::IsLink() {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file_.get(), &information)) fail();
    return (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::optional<std::wstring> Win32ReadableFile::RealPath() { return FinalPathOf(file_.get()); }

void Win32ReadableFile::fail() const {
    const DWORD error = GetLastError();
    throw services::InputOutputError(L"Cannot read file \"" + path_ + L"\". " + SystemErrorText(error));
}

}  // namespace kanvel::platform::win32
