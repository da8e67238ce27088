#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/win32/http/TransferChannel.h"

namespace kanvel::platform::win32 {

// The requests of one client waiting to go out, and the workers that make
// them: at most mostAtOnce workers, each making one request after another,
// the earliest first, and handing what arrives to that request's channel.
// The workers go on while the thread that waits for the bodies is busy
// elsewhere, so that the next request leaves as soon as one ends; they end
// when nothing waits. A request whose channel was given up is skipped.
class RequestQueue : public std::enable_shared_from_this<RequestQueue> {
public:
    struct Request {
        // Makes the request, with the calls blocking, into the channel.
        std::function<void(TransferChannel&)> make;
        std::shared_ptr<TransferChannel> channel;
    };

    explicit RequestQueue(int mostAtOnce);
    void Add(Request request);

private:
    void Work();

    const int mostAtOnce_;
    std::mutex mutex_;
    std::deque<Request> waiting_;
    int workers_ = 0;
};

}  // namespace kanvel::platform::win32
