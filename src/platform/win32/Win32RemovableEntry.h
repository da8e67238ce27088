#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/win32/ResourceHolders.h"
#include "services/system/RemovableEntry.h"

namespace kanvel::platform::win32 {

// A file or folder opened for removal with FILE_FLAG_OPEN_REPARSE_POINT, so
// that a link is held as the link; removed by marking the open handle for
// deletion, so that what is removed is what was looked at. (Wine 8 follows
// a Unix symbolic link even then: the entry is then the link's target, and
// its RealPath says so.)
class Win32RemovableEntry : public services::RemovableEntry {
public:
    // Nothing when nothing can be opened at the path.
    static std::unique_ptr<Win32RemovableEntry> Open(const std::wstring& path);

    std::wstring RealPath() const override { return realPath_; }
    bool Remove() override;
    // Clears the read-only attribute, so that the entry can be removed.
    bool ClearReadOnly();

private:
    Win32RemovableEntry(FileHandle file, std::wstring realPath);

    FileHandle file_;
    std::wstring realPath_;
};

}  // namespace kanvel::platform::win32
