#pragma once

#include <windows.h>
#include <winhttp.h>

#include "platform/win32/ResourceHolders.h"

namespace kanvel::platform::win32 {

// One WinHTTP handle (session, connection or request), closed with
// WinHttpCloseHandle. It is held here rather than beside the other kinds so
// that <winhttp.h> stays with the HTTP client.
struct WinHttpHandleTraits : NullMeansNone<HINTERNET> {
    static bool Free(HINTERNET handle) noexcept { return WinHttpCloseHandle(handle) != FALSE; }
};
using WinHttpHandle = UniqueHandle<WinHttpHandleTraits>;

}  // namespace kanvel::platform::win32
