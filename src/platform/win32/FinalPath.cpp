#include "platform/win32/FinalPath.h"

#include "platform/win32/ResourceHolders.h"

namespace kanvel::platform::win32 {

namespace {
constexpr std::wstring_view kLocalPrefix = L"\\\\?\\";
constexpr std::wstring_view kNetworkPrefix = L"\\\\?\\UNC\\";
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
}  // namespace

std::optional<std::wstring> FinalPathOf(HANDLE file) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return std::nullopt;
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(length);  // too small: length is the size needed
    }
    if (path.starts_with(kNetworkPrefix)) return L"\\\\" + path.substr(kNetworkPrefix.size());
    if (path.starts_with(kLocalPrefix)) return path.substr(kLocalPrefix.size());
    return path;
}

std::optional<std::wstring> FinalPathOf(const std::wstring& path) {
    // Backup semantics let a folder be opened too; reading its attributes
    // needs no right that could be refused.
    const FileHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return std::nullopt;
    return FinalPathOf(file.get());
}

}  // namespace kanvel::platform::win32
