#include "platform/win32/http/RequestQueue.h"

#include <thread>

namespace kanvel::platform::win32 {

RequestQueue::RequestQueue(int mostAtOnce) : mostAtOnce_(mostAtOnce) {}

void RequestQueue::Add(Request request) {
    const std::lock_guard lock(mutex_);
    waiting_.push_back(std::move(request));
    if (workers_ >= mostAtOnce_) return;
    ++workers_;
    // A worker shares the queue, and each request shares what it needs (the
    // session, the channel): a request given up leaves it nothing of the
    // caller's to touch.
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
        if (!request.channel->cancelled()) request.make(*request.channel);
    }
}

}  // namespace kanvel::platform::win32
