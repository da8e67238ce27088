#include "app/LocationPreparation.h"

#include "services/paths/InstallationPaths.h"

namespace kanvel::app {

namespace {
constexpr const wchar_t* kFolderCreated = L"utworzono folder: ";
constexpr const wchar_t* kNoSuchDrive = L"dysk lub udział sieciowy nie istnieje: ";
constexpr const wchar_t* kCannotCreate = L"nie można utworzyć folderu: ";

// Where the location's folders start: "D:\" of "D:\a\b", "\\server\share\"
// of "\\server\share\a" (the command line has checked the form).
std::size_t RootLength(const std::wstring& location) {
    if (location.rfind(L"\\\\", 0) != 0) return 3;
    const std::size_t share = location.find(L'\\', 2);
    const std::size_t afterShare = location.find(L'\\', share + 1);
    return afterShare == std::wstring::npos ? location.size() + 1 : afterShare + 1;
}
}  // namespace

bool MakeLocationReady(services::FileSystem& files, RunLog& log, const std::wstring& location,
                       const std::optional<services::FolderProtection>& protection) {
    if (files.DirectoryExists(location + L"\\")) return true;
    if (services::InstallationPaths::NamesFamilyFolder(location)) return true;
    const std::size_t rootLength = RootLength(location);
    const std::wstring root = (location + L"\\").substr(0, rootLength);
    if (!files.DirectoryExists(root)) {
        log.Write(kSilentRunTitle, kNoSuchDrive + root);
        return false;
    }
    for (std::size_t end = location.find(L'\\', rootLength);; end = location.find(L'\\', end + 1)) {
        const std::wstring level = location.substr(0, end);
        if (!files.DirectoryExists(level) && !(protection ? files.MakeDirectory(level, *protection) : files.MakeDirectory(level))) {
            log.Write(kSilentRunTitle, kCannotCreate + level);
            return false;
        }
        if (end == std::wstring::npos) break;
    }
    log.Write(kSilentRunTitle, kFolderCreated + location);
    return true;
}

}  // namespace kanvel::app
