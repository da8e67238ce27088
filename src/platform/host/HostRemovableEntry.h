#pragma once

#include <filesystem>
#include <string>

#include "platform/host/HostFileSystem.h"
#include "services/system/RemovableEntry.h"

namespace kanvel::platform::host {

// An entry of the test platform held for removal as Windows holds one
// opened with FILE_FLAG_OPEN_REPARSE_POINT: a symbolic link is the link
// itself, and removing it removes only the link.
class HostRemovableEntry : public services::RemovableEntry {
public:
    // `locked`: another program holds it open; it cannot be removed.
    HostRemovableEntry(const HostFileSystem& files, std::filesystem::path path, bool locked);

    std::wstring RealPath() const override;
    bool Remove() override;

private:
    const HostFileSystem& files_;
    std::filesystem::path path_;
    bool locked_;
};

}  // namespace kanvel::platform::host
