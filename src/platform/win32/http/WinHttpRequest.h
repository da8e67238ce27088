#pragma once

#include <windows.h>
#include <winhttp.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "platform/win32/http/TransferChannel.h"
#include "services/StallWatch.h"

namespace kanvel::platform::win32 {

// One GET on a WinHTTP session, with the calls blocking, as the worker of a
// transfer runs it: redirects never followed, the headers sent as given,
// every outcome handed to the channel (what the answer declared of its body,
// the blocks, the end, or the failure as the InstallerError HttpClient
// describes). A body slower than the stall rule ends as a time-out.
struct StallRule {
    std::chrono::milliseconds window;
    std::int64_t minimumBytes;
};
void RunBlockingGet(HINTERNET session, const std::wstring& url, const std::wstring& headers,
                    const StallRule& stall, TransferChannel& channel) noexcept;

}  // namespace kanvel::platform::win32
