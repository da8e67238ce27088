#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "services/http/TransferChannel.h"

namespace kanvel::services {

// The requests of one client waiting to go out, and the workers that make
// them: at most mostAtOnce requests are being made at a time, each by a
// worker thread that then takes the next, the earliest first, and hands what
// arrives to that request's channel. The workers go on while the thread that
// waits for the bodies is busy elsewhere, so that the next request leaves as
// soon as one ends; they end when nothing waits.
//
// A request given up (Cancel) frees its slot at once: a new worker starts
// for the next request even while the old one is still blocked in a call
// that Cancel could not break off; that one ends when its call returns,
// owning nothing but its request.
class RequestQueue : public std::enable_shared_from_this<RequestQueue> {
public:
    // Makes the request, with the calls blocking, into the channel.
    using Make = std::function<void(TransferChannel&)>;

    explicit RequestQueue(int mostAtOnce);
    void Add(std::shared_ptr<TransferChannel> channel, Make make);
    // Gives the request up: its channel is cancelled, and it leaves the
    // queue, or its slot, at once.
    void Cancel(const std::shared_ptr<TransferChannel>& channel);

private:
    struct Request {
        std::shared_ptr<TransferChannel> channel;
        Make make;
    };
    // Starts a worker while a slot is free and a request waits; called with the lock held.
    void StartWorkers();
    void Work();
    // Takes the next request into a slot; false when none waits (the worker's slot is then free).
    bool TakeNext(Request& request);

    const int mostAtOnce_;
    std::mutex mutex_;
    std::deque<Request> waiting_;
    // The channels whose requests are being made, each holding a slot.
    std::vector<const TransferChannel*> made_;
    // Slots held by workers, with or without a request.
    int slotsTaken_ = 0;
};

}  // namespace kanvel::services
