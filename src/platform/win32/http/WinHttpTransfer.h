#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/win32/http/EventWakeUp.h"
#include "services/http/HttpClient.h"
#include "services/http/RequestQueue.h"
#include "services/http/TransferChannel.h"

namespace kanvel::platform::win32 {

// One GET of WinHttpClient: the request waits in the client's queue until a
// worker makes it (services::RequestQueue); the thread that started it
// writes the body (Drain) whenever the client waits for any of its
// transfers. Its state is its channel's. It is listed with its client from
// start to destruction, so that every wait also serves it. Destroyed before
// its end, it is given up: its request is closed, its slot freed, and
// nothing more is written to the body.
class WinHttpTransfer : public services::StartedGet {
public:
    WinHttpTransfer(std::vector<WinHttpTransfer*>& listed, std::shared_ptr<services::RequestQueue> queue,
                    services::GetRequest request, services::RequestQueue::Make make, services::ByteSink& body);
    ~WinHttpTransfer() override;
    WinHttpTransfer(const WinHttpTransfer&) = delete;
    WinHttpTransfer& operator=(const WinHttpTransfer&) = delete;

    // Signalled when something has arrived.
    HANDLE ready() const { return wakeUp_->handle(); }
    // Ended well or failed: nothing more will arrive.
    bool over() const { return channel_->over(); }
    // Writes what has arrived to the body. A body that cannot be written ends
    // the transfer as failed with that error.
    void Drain();

    // What has arrived so far, for the client to report.
    bool begun() const { return declared_.has_value(); }
    std::int64_t received() const { return received_; }
    const services::DeclaredBody& declared() const { return *declared_; }
    // The answer once it is over: what it declared, or its failure thrown.
    services::DeclaredBody Result() const;
    // What it was started with, to make it again.
    const services::GetRequest& request() const { return request_; }
    services::ByteSink& body() const { return body_; }

private:
    void Take(services::TransferChannel::Event& event);

    std::vector<WinHttpTransfer*>& listed_;
    std::shared_ptr<services::RequestQueue> queue_;
    services::GetRequest request_;
    std::shared_ptr<EventWakeUp> wakeUp_;
    std::shared_ptr<services::TransferChannel> channel_;
    services::ByteSink& body_;
    std::int64_t received_ = 0;
    // What the answer declared, once its Begin was taken.
    std::optional<services::DeclaredBody> declared_;
};

}  // namespace kanvel::platform::win32
