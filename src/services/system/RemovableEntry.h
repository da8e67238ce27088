#pragma once

#include <string>

namespace kanvel::services {

// A file or folder held open so that it can be removed, and so that what is
// removed is what was looked at. A link (symbolic link, junction, mount
// point) is held as the link itself, never as what it points to, where the
// platform can do so.
class RemovableEntry {
public:
    virtual ~RemovableEntry() = default;
    // Where the held entry really is: every link on the way resolved, in the
    // form RealPath gives.
    virtual std::wstring RealPath() const = 0;
    // Removes the entry (a folder only when it is empty); true on success.
    virtual bool Remove() = 0;
};


}  // namespace kanvel::services
