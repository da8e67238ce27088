#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/http/RequestQueue.h"
#include "platform/win32/http/TransferChannel.h"
#include "services/HttpClient.h"

namespace kanvel::platform::win32 {

// One GET of WinHttpClient: the request waits in the session's queue until a
// worker makes it (RequestQueue); the thread that started it writes the body
// (Drain) whenever the client waits for any of its transfers. It is listed
// with its client from start to destruction, so that every wait also serves
// it. Destroyed before its end, it is given up: the worker stops at its next
// step (or never starts it) and nothing more is written to the body.
class WinHttpTransfer : public services::StartedGet {
public:
    // `make` makes the request, with the calls blocking, into the channel.
    WinHttpTransfer(std::vector<WinHttpTransfer*>& listed, RequestQueue& queue, services::GetRequest request,
                    std::function<void(TransferChannel&)> make, services::ByteSink& body);
    ~WinHttpTransfer() override;
    WinHttpTransfer(const WinHttpTransfer&) = delete;
    WinHttpTransfer& operator=(const WinHttpTransfer&) = delete;

    // Signalled when something has arrived.
    HANDLE ready() const { return channel_->ready(); }
    // Ended well or failed: nothing more will arrive.
    bool over() const { return ended_ || error_; }
    // Writes what has arrived to the body. A body that cannot be written ends
    // the transfer as failed with that error.
    void Drain();

    // What has arrived so far, for the client to report.
    bool begun() const { return begun_; }
    std::int64_t received() const { return received_; }
    const services::DeclaredBody& declared() const { return declared_; }
    // The answer once it is over: what it declared, or its failure thrown.
    services::DeclaredBody Result() const;
    // What it was started with, to make it again.
    const services::GetRequest& request() const { return request_; }
    services::ByteSink& body() const { return body_; }

private:
    void Take(TransferChannel::Event& event);

    std::vector<WinHttpTransfer*>& listed_;
    services::GetRequest request_;
    std::shared_ptr<TransferChannel> channel_;
    services::ByteSink& body_;
    bool begun_ = false;
    bool ended_ = false;
    std::int64_t received_ = 0;
    services::DeclaredBody declared_;
    std::exception_ptr error_;
};

}  // namespace kanvel::platform::win32
