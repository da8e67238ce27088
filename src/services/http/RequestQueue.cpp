#include "services/http/RequestQueue.h"

#include <algorithm>
#include <thread>

namespace kanvel::services {

RequestQueue::RequestQueue(int mostAtOnce) : mostAtOnce_(mostAtOnce) {}

void RequestQueue::Add(std::shared_ptr<TransferChannel> channel, Make make) {
    const std::lock_guard lock(mutex_);
    waiting_.push_back({std::move(channel), std::move(make)});
    StartWorkers();
}

void RequestQueue::Cancel(const std::shared_ptr<TransferChannel>& channel) {
    channel->Cancel();
    const std::lock_guard lock(mutex_);
    if (std::erase(made_, channel.get()) > 0) {
        // Its worker may be blocked still; it ends on its own, without the slot.
        --slotsTaken_;
        StartWorkers();
        return;
    }
    std::erase_if(waiting_, [&](const Request& request) { return request.channel == channel; });
}

void RequestQueue::StartWorkers() {
    for (int start = std::min(mostAtOnce_ - slotsTaken_, static_cast<int>(waiting_.size())); start > 0; --start) {
        ++slotsTaken_;
        // A worker shares the queue, and each request shares what it needs
        // (the channel, the session): a request given up leaves it nothing
        // of the caller's to touch.
        std::thread([queue = shared_from_this()] { queue->Work(); }).detach();
    }
}

bool RequestQueue::TakeNext(Request& request) {
    const std::lock_guard lock(mutex_);
    if (waiting_.empty()) {
        --slotsTaken_;
        return false;
    }
    request = std::move(waiting_.front());
    waiting_.pop_front();
    made_.push_back(request.channel.get());
    return true;
}

void RequestQueue::Work() {
    Request request;
    while (TakeNext(request)) {
        if (request.channel->StartSending()) request.make(*request.channel);
        const std::lock_guard lock(mutex_);
        // Given up while it was made: the slot went to another worker.
        if (std::erase(made_, request.channel.get()) == 0) return;
    }
}

}  // namespace kanvel::services
