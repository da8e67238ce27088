#include "platform/win32/http/TransferChannel.h"

namespace kanvel::platform::win32 {

TransferChannel::TransferChannel() : ready_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

bool TransferChannel::Push(Event event) {
    std::unique_lock lock(mutex_);
    drained_.wait(lock, [this] { return cancelled_ || waitingBytes_ < kMostWaitingBytes; });
    if (cancelled_) return false;
    waitingBytes_ += event.block.size();
    events_.push_back(std::move(event));
    SetEvent(ready_.get());
    return true;
}

std::deque<TransferChannel::Event> TransferChannel::TakeAll() {
    std::deque<Event> taken;
    {
        const std::lock_guard lock(mutex_);
        taken.swap(events_);
        waitingBytes_ = 0;
    }
    drained_.notify_all();
    return taken;
}

void TransferChannel::Cancel() {
    {
        const std::lock_guard lock(mutex_);
        cancelled_ = true;
        events_.clear();
        waitingBytes_ = 0;
    }
    drained_.notify_all();
}

bool TransferChannel::cancelled() {
    const std::lock_guard lock(mutex_);
    return cancelled_;
}

}  // namespace kanvel::platform::win32
