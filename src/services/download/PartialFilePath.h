#pragma once

#include <string>

namespace kanvel::services {

// Where a download of `target` is written until its whole body has arrived:
// the target's name with ".part" appended, in the same folder. One fixed name
// per target, so a run that was killed mid-download leaves at most one such
// file, which the next download of the same file replaces. A name that would
// pass the file system's 255-character limit for one name is cut short
// before the ending.
std::wstring PartialFilePath(const std::wstring& target);

}  // namespace kanvel::services
