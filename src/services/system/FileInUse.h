#pragma once

#include <string>
#include <vector>

namespace kanvel::services {

// A file that another program has open (or has loaded, a program file or a
// DLL), so that it cannot be replaced or removed now.
struct FileInUse {
    std::wstring file;
    // The programs that hold it, by the names the system gives them (on
    // Windows, Restart Manager's application names); empty when the system
    // can tell that the file is in use but not by whom.
    std::vector<std::wstring> programs;

    bool operator==(const FileInUse&) const = default;
};

}  // namespace kanvel::services
