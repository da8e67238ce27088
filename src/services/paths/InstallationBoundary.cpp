#include "services/paths/InstallationBoundary.h"

#include "services/paths/WindowsPath.h"

namespace kanvel::services {

namespace {
bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
}  // namespace

InstallationBoundary::InstallationBoundary(FileSystem& files, const std::wstring& installFolder)
    : files_(files), realFolder_(files.RealPath(installFolder)) {}

bool InstallationBoundary::Remove(const std::wstring& path) {
    if (!realFolder_) return false;
    const auto entry = files_.OpenForRemoval(path);
    return entry && LiesWithin(entry->RealPath(), *realFolder_) && entry->Remove();
}

bool LiesWithin(std::wstring_view realPath, std::wstring_view realFolder) {
    while (!realFolder.empty() && IsSeparator(realFolder.back())) realFolder.remove_suffix(1);
    if (realFolder.empty() || realPath.size() < realFolder.size() ||
        !EqualIgnoringCase(realPath.substr(0, realFolder.size()), realFolder))
        return false;
    return realPath.size() == realFolder.size() || IsSeparator(realPath[realFolder.size()]);
}

bool RemoveEntryItself(FileSystem& files, const std::wstring& path) {
    auto realFolder = files.RealPath(FolderOf(path));
    const auto entry = files.OpenForRemoval(path);
    if (!realFolder || !entry) return false;
    while (!realFolder->empty() && IsSeparator(realFolder->back())) realFolder->pop_back();
    return EqualIgnoringCase(entry->RealPath(), JoinPath(*realFolder, FileNameOf(path))) && entry->Remove();
}

}  // namespace kanvel::services
