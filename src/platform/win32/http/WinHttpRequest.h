#pragma once

#include <windows.h>
#include <winhttp.h>

#include <string>

#include "platform/win32/http/TransferChannel.h"

namespace kanvel::platform::win32 {

// One GET on a WinHTTP session, with the calls blocking, as the worker of a
// transfer runs it: redirects never followed, the headers sent as given,
// every outcome handed to the channel (the announced length, the blocks,
// the end, or the failure as the InstallerError HttpClient describes).
void RunBlockingGet(HINTERNET session, const std::wstring& url, const std::wstring& headers,
                    TransferChannel& channel) noexcept;

}  // namespace kanvel::platform::win32
