#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/win32/http/TransferChannel.h"
#include "platform/win32/http/WinHttpHandle.h"
#include "services/HttpClient.h"

namespace kanvel::platform::win32 {

// HttpClient over WinHTTP: one GET per call, redirects never followed,
// failures thrown as services::InstallerError in the two forms HttpClient
// describes. A body that ends before its announced Content-Length counts as
// a reset connection. OnWorkEnd follows OnWorkBegin also when the body
// breaks off, before the error is thrown.
//
// Get returns when the transfer has ended, but the calling thread never
// blocks on the network: a worker thread makes the request and reads the
// body, while the caller waits in a message loop that lets its window answer
// (OnWait) and writes each block to the body as it comes. An exception from
// an event handler gives the transfer up at once.
class WinHttpClient : public services::HttpClient {
public:
    // Long enough for a slow line, short enough that a dead or stalled server
    // does not keep the installer waiting for ever.
    static constexpr std::chrono::milliseconds DefaultConnectTimeout{15'000};
    static constexpr std::chrono::milliseconds DefaultReceiveTimeout{30'000};

    // connectTimeout bounds name resolution and the connection;
    // receiveTimeout bounds each wait for data (the answer, every block).
    explicit WinHttpClient(std::chrono::milliseconds connectTimeout = DefaultConnectTimeout,
                           std::chrono::milliseconds receiveTimeout = DefaultReceiveTimeout);

    WinHttpClient(const WinHttpClient&) = delete;
    WinHttpClient& operator=(const WinHttpClient&) = delete;

    void Get(const std::wstring& url, services::ByteSink& body) override;

private:
    struct TransferProgress {
        bool begun = false;
        std::int64_t done = 0;
    };

    // Waits for the transfer's events and hands them on until it has ended.
    void Wait(TransferChannel& channel, services::ByteSink& body);
    // True once the transfer has ended well; a failure is thrown.
    bool Handle(TransferChannel::Event& event, services::ByteSink& body, TransferProgress& progress);
    std::wstring RequestHeaders() const;

    // Shared with the workers, which may outlive a transfer given up.
    std::shared_ptr<WinHttpHandle> session_;
};

}  // namespace kanvel::platform::win32
