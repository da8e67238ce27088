#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "services/system/BriefLockRetry.h"
#include "services/system/Clock.h"

namespace kanvel::platform::win32 {

// Renames and deletes through an open handle with POSIX semantics where
// Windows offers them (Windows 10 1709 and later): a replaced or deleted name
// is gone at once even while a virus scanner or the search indexer still has
// the file open with FILE_SHARE_DELETE. Where the system answers that it does
// not know these calls, the classic rename and delete mark are used.

// Renames the file to target, replacing what is there; false with the
// thread's last error set on failure.
bool RenameReplacing(HANDLE file, const std::wstring& target);
// Marks the file or empty folder for deletion; false with the thread's last
// error set on failure.
bool MarkForDeletion(HANDLE file);
// Deletes the file at the path (a link as the link itself).
bool DeleteFileNamed(const std::wstring& path);
// Moves a file over another one of the same volume.
bool MoveFileReplacing(const std::wstring& source, const std::wstring& target);

// How a failed file call counts for retrying: an access refusal on a
// read-only file or a folder lasts; on anything else it can be a brief hold.
services::FileFailure FileFailureOf(DWORD error, const std::wstring& path);

// Runs the call again while it fails for a brief hold (see
// services::BriefLockRetry); the thread's last error is then the last try's.
bool RetryingBriefLocks(services::Clock& clock, const std::wstring& path, const std::function<bool()>& call);

}  // namespace kanvel::platform::win32
