#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/win32/http/SessionPool.h"
#include "platform/win32/http/TransferChannel.h"
#include "platform/win32/http/WinHttpRequest.h"
#include "services/HttpClient.h"
#include "services/StallWatch.h"

namespace kanvel::platform::win32 {

// HttpClient over WinHTTP: one GET per call, redirects never followed,
// failures thrown as services::InstallerError in the two forms HttpClient
// describes. It reports what the answer declared (Content-Length, chunks,
// validators) and leaves judging the body's completeness to its caller.
// Besides WinHTTP's own waits, a body of which less than minimumBytes arrive
// in any stall window ends as a time-out. OnWorkEnd follows OnWorkBegin also
// when the body breaks off, before the error is thrown.
//
// Get returns when the transfer has ended, but the calling thread never
// blocks on the network: a worker thread makes the request and reads the
// body, while the caller waits in a message loop that lets its window answer
// (OnWait) and writes each block to the body as it comes. An exception from
// an event handler gives the transfer up at once.
//
// Each URL goes the way Windows' proxy settings choose for it
// (services::ProxyChoice over WindowsProxySettings): direct or through a
// proxy, each way with a session of its own. Through a proxy, a secure
// request sends the server's Basic credentials once its tunnel stands, in
// answer to the server's 401: Wine's WinHTTP copies every request header
// into the CONNECT that the proxy reads.
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

    services::DeclaredBody Get(const std::wstring& url, services::ByteSink& body) override;

private:
    struct TransferProgress {
        bool begun = false;
        std::int64_t done = 0;
        services::DeclaredBody declared;
    };

    // One request, made by a worker while this thread waits.
    services::DeclaredBody Transfer(const std::wstring& url, services::ByteSink& body);
    // The user name and password for the proxy, asked for once; false when
    // there is no answer.
    bool AskForProxyCredentials();
    // Waits for the transfer's events and hands them on until it has ended.
    services::DeclaredBody Wait(TransferChannel& channel, services::ByteSink& body);
    // True once the transfer has ended well; a failure is thrown.
    bool Handle(TransferChannel::Event& event, services::ByteSink& body, TransferProgress& progress);
    RequestHeaders Headers() const;

    struct ProxyFinder;

    // Shared with the workers, which may outlive a transfer given up.
    std::shared_ptr<SessionPool> sessions_;
    std::shared_ptr<ProxyFinder> proxies_;
    // Kept in memory for the client's life once the user gave them.
    std::optional<services::ProxyCredentials> proxyCredentials_;
    bool proxySignInAsked_ = false;
    std::chrono::milliseconds stallWindow_;
    std::int64_t minimumBytes_;
};

}  // namespace kanvel::platform::win32
