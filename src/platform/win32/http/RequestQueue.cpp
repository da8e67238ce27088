#include "platform/win32/http/RequestQueue.h"

#include <thread>

namespace kanvel::platform::win32 {

RequestQueue::RequestQueue(std::shared_ptr<WinHttpHandle> session, int mostAtOnce)
    : session_(std::move(session)), mostAtOnce_(mostAtOnce) {}

void RequestQueue::Add(Request request) {
    const std::lock_guard lock(mutex_);
    waiting_.push_back(std::move(request));
    if (workers_ >= mostAtOnce_) return;
    ++workers_;
    // A worker shares the queue, and through it the session: a request given
    // up leaves it nothing of the caller's to touch.
    std::thread([queue = shared_from_this()] { queue->Work(); }).detach();
}

void RequestQueue::Work() {
    for (;;) {
        Request request;
        {
            const std::lock_guard lock(mutex_);
            if (waiting_.empty()) {
                --workers_;
                return;
            }
            request = std::move(waiting_.front());
            waiting_.pop_front();
        }
        if (!request.channel->cancelled())
            RunBlockingGet(session_->get(), request.url, request.headers, request.stall, *request.channel);
    }
}

}  // namespace kanvel::platform::win32
