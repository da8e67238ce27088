#include "services/http/TransferChannel.h"

#include <utility>

namespace kanvel::services {

namespace {
TransferChannel::Event Made(TransferChannel::Event::Kind kind) {
    TransferChannel::Event event;
    event.kind = kind;
    return event;
}
}  // namespace

TransferChannel::Event TransferChannel::Event::Begin(DeclaredBody declared) {
    Event event = Made(Kind::Begin);
    event.declared = std::move(declared);
    return event;
}

TransferChannel::Event TransferChannel::Event::Block(std::vector<std::uint8_t> bytes) {
    Event event = Made(Kind::Block);
    event.block = std::move(bytes);
    return event;
}

TransferChannel::Event TransferChannel::Event::End() { return Made(Kind::End); }

TransferChannel::Event TransferChannel::Event::Failed(std::exception_ptr error) {
    Event event = Made(Kind::Failed);
    event.error = std::move(error);
    return event;
}

TransferChannel::TransferChannel(std::shared_ptr<WakeUp> wakeUp) : wakeUp_(std::move(wakeUp)) {}

bool TransferChannel::StartSending() {
    const std::lock_guard lock(mutex_);
    if (overLocked()) return false;
    state_ = TransferState::Sending;
    return true;
}

bool TransferChannel::Push(Event event) {
    {
        std::unique_lock lock(mutex_);
        drained_.wait(lock, [this] { return overLocked() || waitingBytes_ < kMostWaitingBytes; });
        if (overLocked()) return false;
        if (event.kind == Event::Kind::Begin) state_ = TransferState::Receiving;
        waitingBytes_ += event.block.size();
        events_.push_back(std::move(event));
    }
    wakeUp_->Signal();
    return true;
}

bool TransferChannel::StopWith(std::function<void()> stop) {
    const std::lock_guard lock(mutex_);
    if (overLocked()) return false;
    stop_ = std::move(stop);
    return true;
}

bool TransferChannel::TakeStopBack() {
    const std::lock_guard lock(mutex_);
    return static_cast<bool>(std::exchange(stop_, nullptr));
}

std::optional<TransferChannel::Event> TransferChannel::Take() {
    std::optional<Event> taken;
    {
        const std::lock_guard lock(mutex_);
        if (events_.empty() || overLocked()) return std::nullopt;
        taken = std::move(events_.front());
        events_.pop_front();
        waitingBytes_ -= taken->block.size();
        if (taken->kind == Event::Kind::End) state_ = TransferState::Ended;
        if (taken->kind == Event::Kind::Failed) {
            state_ = TransferState::Failed;
            failure_ = taken->error;
        }
    }
    drained_.notify_all();
    return taken;
}

void TransferChannel::Fail(std::exception_ptr error) {
    std::unique_lock lock(mutex_);
    Settle(lock, TransferState::Failed, std::move(error));
}

void TransferChannel::Cancel() {
    std::unique_lock lock(mutex_);
    Settle(lock, TransferState::Cancelled, nullptr);
}

void TransferChannel::Settle(std::unique_lock<std::mutex>& lock, TransferState final, std::exception_ptr error) {
    if (overLocked()) return;
    state_ = final;
    failure_ = std::move(error);
    events_.clear();
    waitingBytes_ = 0;
    // Run under the lock, so that the worker cannot take it back and close
    // what it closes meanwhile; it needs none of this lock to return.
    if (auto stop = std::exchange(stop_, nullptr)) stop();
    lock.unlock();
    drained_.notify_all();
}

TransferState TransferChannel::state() const {
    const std::lock_guard lock(mutex_);
    return state_;
}

bool TransferChannel::over() const {
    const std::lock_guard lock(mutex_);
    return overLocked();
}

std::exception_ptr TransferChannel::failure() const {
    const std::lock_guard lock(mutex_);
    return failure_;
}

bool TransferChannel::overLocked() const {
    return state_ == TransferState::Ended || state_ == TransferState::Failed || state_ == TransferState::Cancelled;
}

}  // namespace kanvel::services
