#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/win32/http/WinHttpHandle.h"
#include "services/http/ProxyChoice.h"

namespace kanvel::platform::win32 {

// The WinHTTP sessions of one client, one for each way out: direct, or
// through one named proxy. The proxy is fixed when a session opens (a proxy
// set later on a session or a request is not honoured everywhere), so each
// route gets a session of its own, opened the first time it is needed and
// kept for the connections it can reuse. Safe to use from several threads.
class SessionPool {
public:
    SessionPool(std::chrono::milliseconds connectTimeout, std::chrono::milliseconds receiveTimeout);

    // The session for the route; a failure to open one is thrown as a
    // connection failure.
    std::shared_ptr<WinHttpHandle> For(const services::ProxyRoute& route);

private:
    WinHttpHandle open(const services::ProxyRoute& route) const;

    std::chrono::milliseconds connectTimeout_;
    std::chrono::milliseconds receiveTimeout_;
    std::mutex mutex_;
    std::map<std::wstring, std::shared_ptr<WinHttpHandle>> sessions_;
};

}  // namespace kanvel::platform::win32
