#pragma once

#include <string>

#include "services/system/FileSystem.h"

namespace kanvel::services {

enum class CopyOverResult {
    Replaced,       // the target is now a copy of the source
    CopyFailed,     // the source could not be copied (path too long, disk full...): the target is as it was
    ReplaceFailed,  // the copy could not take the target's place (held open...): the target is as it was
};

// Puts a copy of the source in the target's place without ever deleting the
// target first: the source is copied to a file beside the target, which is
// then moved over it. The target's read-only attribute is cleared for the
// move only and comes back when the move fails. Whatever fails, the target
// stays as it was and the copy beside it goes.
CopyOverResult CopyOver(FileSystem& files, const std::wstring& source, const std::wstring& target);

// The copy beside the target: the same folder and a name of the same length
// whose last character is "~", so that its path is no longer than the
// target's (the copy's paths have a length limit).
std::wstring CopyBesidePath(const std::wstring& target);

}  // namespace kanvel::services
