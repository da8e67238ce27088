#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/http/SessionPool.h"
#include "platform/win32/http/WinHttpRequest.h"
#include "platform/win32/http/WinHttpTransfer.h"
#include "services/http/HttpClient.h"
#include "services/http/ProxySignIns.h"
#include "services/http/RequestQueue.h"
#include "services/download/StallWatch.h"

namespace kanvel::platform::win32 {

// HttpClient over WinHTTP: one GET per call, redirects never followed,
// failures thrown as the services::TransferFailure kinds HttpClient
// describes. It reports what the answer declared (Content-Length, chunks,
// validators) and leaves judging the body's completeness to its caller.
// Besides WinHTTP's own waits, a body of which less than minimumBytes arrive
// in any stall window ends as a time-out. OnWorkEnd follows OnWorkBegin also
// when the body breaks off, before the error is thrown.
//
// Get returns when the transfer has ended, but the calling thread never
// blocks on the network: a worker makes the request and reads the body
// (WinHttpTransfer), while the caller waits in a message loop that lets its
// window answer (OnWait) and writes each block to the body as it comes. An
// exception from an event handler gives the transfer up at once. Transfers
// started ahead (Start) run side by side, at most kMostRequestsAtOnce at a
// time (services::RequestQueue), and WinHTTP keeps their connections for the next
// requests; every wait writes the blocks of all of them.
//
// Each URL goes the way Windows' proxy settings choose for it
// (services::ProxyChoice over WindowsProxySettings): direct or through a
// proxy, each way with a session of its own. Through a proxy, a secure
// request sends the server's Basic credentials once its tunnel stands, in
// answer to the server's 401: Wine's WinHTTP copies every request header
// into the CONNECT that the proxy reads. The user's answer to a proxy's
// sign-in goes to that proxy alone (services::ProxySignIns); a run of the
// system account offers its own sign-in only to a proxy that the settings
// name, not to one found by automatic detection (services::ProxyChoice).
class WinHttpClient : public services::HttpClient {
public:
    // Long enough for a slow line, short enough that a dead or stalled server
    // does not keep the installer waiting for ever.
    static constexpr std::chrono::milliseconds DefaultConnectTimeout{15'000};
    static constexpr std::chrono::milliseconds DefaultReceiveTimeout{30'000};

    // connectTimeout bounds name resolution and the connection;
    // receiveTimeout bounds each wait for data (the answer, every block);
    // stallWindow and minimumBytes: see services::StallWatch.
    explicit WinHttpClient(std::chrono::milliseconds connectTimeout = DefaultConnectTimeout,
                           std::chrono::milliseconds receiveTimeout = DefaultReceiveTimeout,
                           std::chrono::milliseconds stallWindow = services::StallWatch::kDefaultWindow,
                           std::int64_t minimumBytes = services::StallWatch::kDefaultMinimumBytes);

    WinHttpClient(const WinHttpClient&) = delete;
    WinHttpClient& operator=(const WinHttpClient&) = delete;

    services::DeclaredBody Get(const services::GetRequest& request, services::ByteSink& body) override;
    std::unique_ptr<services::StartedGet> Start(const services::GetRequest& request,
                                                services::ByteSink& body) override;
    services::DeclaredBody Finish(services::StartedGet& started) override;

private:
    // What the caller was told of the transfer it waits for.
    struct Reported {
        bool begun = false;
        std::int64_t done = 0;
    };
    // Waits until the transfer has ended, reporting it.
    services::DeclaredBody Wait(const WinHttpTransfer& transfer);
    void Report(const WinHttpTransfer& transfer, Reported& reported);
    // Returns when something arrived for any transfer, having let the window
    // answer when something arrived for it instead.
    void WaitForAny();
    static RequestHeaders Headers(const services::GetRequest& request);

    struct ProxyFinder;

    // Shared with the workers, which may outlive a transfer given up.
    std::shared_ptr<ProxyFinder> proxies_;
    std::shared_ptr<services::RequestQueue> queue_;
    // Every transfer started and not yet destroyed.
    std::vector<WinHttpTransfer*> transfers_;
    // Kept in memory for the client's life once the user gave them, each
    // for its own proxy.
    services::ProxySignIns proxySignIns_;
    std::chrono::milliseconds stallWindow_;
    std::int64_t minimumBytes_;
};

}  // namespace kanvel::platform::win32
