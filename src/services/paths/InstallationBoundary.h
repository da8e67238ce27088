#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "services/system/FileSystem.h"

namespace kanvel::services {

// What removal may touch: only what really lies inside the installation's
// folder. Anyone who can write to that folder can plant a link in it (a
// symbolic link, a junction, a mount point) that leads elsewhere, and
// removal often runs with more rights than that person: so every file and
// folder is held first, and removed only when where it really lies (links
// resolved) is inside where the installation folder really lies. A link
// inside the installation is removed as the link, never followed, where
// the platform holds links as themselves (Windows); where it cannot (Wine
// follows a Unix link it is given), a link that leads out stays.
class InstallationBoundary {
public:
    InstallationBoundary(FileSystem& files, const std::wstring& installFolder);

    // Removes the file or the empty folder at the path when it lies inside;
    // true when it is gone. Nothing there, or outside: false, untouched.
    bool Remove(const std::wstring& path);

private:
    FileSystem& files_;
    std::optional<std::wstring> realFolder_;
};

// True when the real path is the real folder or lies below it; names are
// compared whole and without regard to case.
bool LiesWithin(std::wstring_view realPath, std::wstring_view realFolder);

// Removes the file or empty folder at the path only when the entry there is
// that very name in that very folder, not something a link at that name
// leads to; true when it is gone.
bool RemoveEntryItself(FileSystem& files, const std::wstring& path);

}  // namespace kanvel::services
