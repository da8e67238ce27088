#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <vector>

#include "platform/win32/ResourceHolders.h"
#include "services/HttpClient.h"

namespace kanvel::platform::win32 {

// What the worker of one transfer hands to the thread that waits for it, in
// order: what the answer declared of its body, its blocks, its end or the failure.
// The worker owns only its request; the waiting thread writes the blocks
// where they go, so a transfer given up leaves the worker nothing of the
// caller's to touch. At most a few blocks wait at a time: a worker ahead of
// its reader waits for it.
class TransferChannel {
public:
    struct Event {
        enum class Kind { Begin, Block, End, Failed };
        Kind kind = Kind::End;
        services::DeclaredBody declared;  // Begin
        std::vector<std::uint8_t> block;
        std::exception_ptr error;  // Failed

        static Event Begin(services::DeclaredBody declared) {
            Event event = Make(Kind::Begin);
            event.declared = std::move(declared);
            return event;
        }
        static Event Block(std::vector<std::uint8_t> bytes) {
            Event event = Make(Kind::Block);
            event.block = std::move(bytes);
            return event;
        }
        static Event End() { return Make(Kind::End); }
        static Event Failed(std::exception_ptr error) {
            Event event = Make(Kind::Failed);
            event.error = std::move(error);
            return event;
        }

    private:
        static Event Make(Kind kind) {
            Event event;
            event.kind = kind;
            return event;
        }
    };

    TransferChannel();

    // Signalled whenever an event is waiting.
    HANDLE ready() const { return ready_.get(); }

    // The worker's side. False once the waiting side has given up: the
    // worker then stops.
    bool Push(Event event);

    // The waiting side: every event that has arrived, in order.
    std::deque<Event> TakeAll();
    // Gives the transfer up: the worker stops at its next step.
    void Cancel();
    bool cancelled();

private:
    static constexpr std::size_t kMostWaitingBytes = 1u << 20;

    KernelHandle ready_;
    std::mutex mutex_;
    std::condition_variable drained_;
    std::deque<Event> events_;
    std::size_t waitingBytes_ = 0;
    bool cancelled_ = false;
};

}  // namespace kanvel::platform::win32
