#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace kanvel::platform::win32 {

// Where an open file or folder really lies, as GetFinalPathNameByHandleW
// names it (every link, junction and mount point on the way resolved),
// without the "\\?\" that call puts in front: "C:\OR-Vel\Edytor3.exe", or
// "\\server\share\..." for a network path. Nothing when the call fails.
std::optional<std::wstring> FinalPathOf(HANDLE file);

// The same for a path, opened (and closed again) for that alone, links
// followed; nothing when it cannot be opened.
std::optional<std::wstring> FinalPathOf(const std::wstring& path);

}  // namespace kanvel::platform::win32
