#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "services/http/HttpClient.h"
#include "services/http/TransferState.h"
#include "services/http/WakeUp.h"

namespace kanvel::services {

// One transfer between the worker that makes its request and the thread
// that waits for it, and the one place its state (TransferState) is kept.
// The worker hands over, in order, what the answer declared of its body,
// its blocks, its end or the failure; the waiting side takes them one by
// one and writes the blocks where they go, so a transfer given up leaves the
// worker nothing of the caller's to touch. At most kMostWaitingBytes of
// blocks wait at a time: a worker ahead of its reader waits for it.
//
// Who changes the state: the worker moves it from Queued to Sending
// (StartSending) and to Receiving (pushing Begin); the waiting side makes it
// Ended or Failed by taking the last event, Failed when it cannot write the
// body (Fail), and Cancelled when it gives the transfer up (Cancel).
class TransferChannel {
public:
    static constexpr std::size_t kMostWaitingBytes = 1u << 20;

    struct Event {
        enum class Kind { Begin, Block, End, Failed };
        Kind kind = Kind::End;
        DeclaredBody declared;  // Begin
        std::vector<std::uint8_t> block;
        std::exception_ptr error;  // Failed

        static Event Begin(DeclaredBody declared);
        static Event Block(std::vector<std::uint8_t> bytes);
        static Event End();
        static Event Failed(std::exception_ptr error);
    };

    explicit TransferChannel(std::shared_ptr<WakeUp> wakeUp);

    // The worker's side. Each returns false once the transfer is over for
    // the waiting side (given up, or its body could not be written): the
    // worker then stops.
    bool StartSending();
    // Waits while kMostWaitingBytes or more wait to be taken.
    bool Push(Event event);
    // `stop` breaks off the call the worker blocks in (closes its request);
    // Cancel and Fail run it once, on their thread. Taken back with
    // TakeStopBack before what it closes goes; true when it had not run.
    bool StopWith(std::function<void()> stop);
    bool TakeStopBack();

    // The waiting side: the next event that has arrived, in order, or
    // nothing; taking the end or the failure settles the state.
    std::optional<Event> Take();
    // The body could not be written: the transfer fails with `error`.
    void Fail(std::exception_ptr error);
    // Gives the transfer up; nothing once it is over.
    void Cancel();

    TransferState state() const;
    // Ended, Failed or Cancelled: nothing more will arrive.
    bool over() const;
    // The failure, once Failed.
    std::exception_ptr failure() const;

private:
    // Ends the transfer from the waiting side: the events go, the worker's
    // blocking call is broken off and its waits end.
    void Settle(std::unique_lock<std::mutex>& lock, TransferState final, std::exception_ptr error);
    bool overLocked() const;

    const std::shared_ptr<WakeUp> wakeUp_;
    mutable std::mutex mutex_;
    std::condition_variable drained_;
    TransferState state_ = TransferState::Queued;
    std::deque<Event> events_;
    std::size_t waitingBytes_ = 0;
    std::exception_ptr failure_;
    std::function<void()> stop_;
};

}  // namespace kanvel::services
