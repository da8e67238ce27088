#include "platform/host/HostRemovableEntry.h"

namespace kanvel::platform::host {

namespace fs = std::filesystem;

HostRemovableEntry::HostRemovableEntry(const HostFileSystem& files, fs::path path, bool locked)
    : files_(files), path_(std::move(path)), locked_(locked) {}

std::wstring HostRemovableEntry::RealPath() const {
    std::error_code ec;
    // A link is where it lies itself: its folder resolved, its own name kept.
    const fs::path real = fs::is_symlink(path_, ec) ? fs::weakly_canonical(path_.parent_path(), ec) / path_.filename()
                                                    : fs::weakly_canonical(path_, ec);
    return files_.ToWindows(real);
}

bool HostRemovableEntry::Remove() {
    std::error_code ec;
    if (locked_) return false;
    if (!fs::is_symlink(path_, ec) && fs::is_directory(path_, ec) && !fs::is_empty(path_, ec)) return false;
    return fs::remove(path_, ec);
}

}  // namespace kanvel::platform::host
