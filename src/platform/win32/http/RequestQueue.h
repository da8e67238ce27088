#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "platform/win32/http/TransferChannel.h"
#include "platform/win32/http/WinHttpHandle.h"
#include "platform/win32/http/WinHttpRequest.h"

namespace kanvel::platform::win32 {

// The requests of one WinHTTP session waiting to go out, and the workers that
// make them: at most mostAtOnce workers, each making one request after
// another, the earliest first, and handing what arrives to that request's
// channel. The workers go on while the thread that waits for the bodies is
// busy elsewhere, so that the next request leaves as soon as one ends; they
// end when nothing waits. A request whose channel was given up is skipped.
class RequestQueue : public std::enable_shared_from_this<RequestQueue> {
public:
    struct Request {
        std::wstring url;
        std::wstring headers;
        StallRule stall;
        std::shared_ptr<TransferChannel> channel;
    };

    RequestQueue(std::shared_ptr<WinHttpHandle> session, int mostAtOnce);
    void Add(Request request);

private:
    void Work();

    std::shared_ptr<WinHttpHandle> session_;
    const int mostAtOnce_;
    std::mutex mutex_;
    std::deque<Request> waiting_;
    int workers_ = 0;
};

}  // namespace kanvel::platform::win32
