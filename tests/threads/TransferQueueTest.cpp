// The request queue and the transfer channel, with real threads: the order
// requests go out in, how many at once, the back-pressure of a reader that
// falls behind, and a request given up while its worker is blocked.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "services/http/RequestQueue.h"
#include "services/http/TransferChannel.h"

namespace kanvel::testing {
namespace {

using services::RequestQueue;
using services::TransferChannel;
using services::TransferState;
using Event = TransferChannel::Event;

// Long enough for a loaded machine; a test waits this long only when what
// it waits for never comes, which is then its failure.
constexpr auto kPatience = std::chrono::seconds(20);

// Shared state the test and the workers wait on: every change notifies.
class Board {
public:
    void Change(const std::function<void()>& change) {
        {
            const std::lock_guard lock(mutex_);
            change();
        }
        changed_.notify_all();
    }
    // True when `condition` held within kPatience.
    bool WaitFor(const std::function<bool()>& condition) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kPatience, condition);
    }
    template <typename T>
    T Read(const T& value) {
        const std::lock_guard lock(mutex_);
        return value;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

// The waiting side's wake-up, as the tests' condition variable.
class BoardWakeUp : public services::WakeUp {
public:
    explicit BoardWakeUp(std::shared_ptr<Board> board) : board_(std::move(board)) {}
    void Signal() override { board_->Change([this] { ++signals; }); }
    int signals = 0;

private:
    std::shared_ptr<Board> board_;
};

// Requests that block until the test lets them end.
struct BlockingRequests {
    std::shared_ptr<Board> board = std::make_shared<Board>();
    std::vector<int> started;
    std::vector<bool> released;
    int running = 0;
    int mostRunning = 0;

    explicit BlockingRequests(int count) : released(static_cast<std::size_t>(count), false) {}

    RequestQueue::Make Make(int index) {
        return [this, index](TransferChannel& channel) {
            board->Change([&] {
                started.push_back(index);
                mostRunning = std::max(mostRunning, ++running);
            });
            board->WaitFor([&] { return released[static_cast<std::size_t>(index)]; });
            channel.Push(Event::End());
            board->Change([&] { --running; });
        };
    }
    void Release(int index) {
        board->Change([&] { released[static_cast<std::size_t>(index)] = true; });
    }
    std::size_t StartedCount() {
        return board->Read(started).size();
    }
};

std::shared_ptr<TransferChannel> NewChannel(const std::shared_ptr<Board>& board) {
    return std::make_shared<TransferChannel>(std::make_shared<BoardWakeUp>(board));
}

TEST(RequestQueue, RequestsGoOutInOrderAtMostSixAtOnceAndTheNextLeavesAsOneEnds) {
    constexpr int kRequests = 10;
    BlockingRequests requests(kRequests);
    auto queue = std::make_shared<RequestQueue>(6);
    std::vector<std::shared_ptr<TransferChannel>> channels;
    for (int i = 0; i < kRequests; ++i) {
        channels.push_back(NewChannel(requests.board));
        queue->Add(channels.back(), requests.Make(i));
    }
    ASSERT_TRUE(requests.board->WaitFor([&] { return requests.started.size() == 6; }));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(channels[static_cast<std::size_t>(i)]->state(), TransferState::Sending);
    EXPECT_EQ(channels[6]->state(), TransferState::Queued);
    // Each request that ends lets exactly the next one out.
    for (int ended = 0; ended < kRequests; ++ended) {
        requests.Release(ended);
        const std::size_t expected = std::min<std::size_t>(kRequests, 7 + static_cast<std::size_t>(ended));
        ASSERT_TRUE(requests.board->WaitFor([&] { return requests.started.size() == expected; })) << ended;
    }
    // The first six leave together, in whatever order their threads run;
    // every later one leaves alone, in the order it was added.
    auto started = requests.board->Read(requests.started);
    std::sort(started.begin(), started.begin() + 6);
    EXPECT_EQ(started, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(requests.board->Read(requests.mostRunning), 6);
    ASSERT_TRUE(requests.board->WaitFor([&] { return requests.running == 0; }));
    for (auto& channel : channels) {
        ASSERT_TRUE(channel->Take().has_value());
        EXPECT_EQ(channel->state(), TransferState::Ended);
    }
}

TEST(TransferChannel, AWorkerAheadOfItsReaderWaitsOnceAMebibyteWaits) {
    constexpr std::size_t kBlock = 64 * 1024;
    constexpr int kBlocks = 40;
    constexpr int kBlocksThatFit = static_cast<int>(TransferChannel::kMostWaitingBytes / kBlock);
    auto board = std::make_shared<Board>();
    auto channel = NewChannel(board);
    auto queue = std::make_shared<RequestQueue>(1);
    int attempted = 0, completed = 0;
    bool done = false;
    queue->Add(channel, [&](TransferChannel& worker) {
        worker.Push(Event::Begin({}));
        for (int i = 0; i < kBlocks; ++i) {
            board->Change([&] { ++attempted; });
            worker.Push(Event::Block(std::vector<std::uint8_t>(kBlock, static_cast<std::uint8_t>(i))));
            board->Change([&] { ++completed; });
        }
        worker.Push(Event::End());
        board->Change([&] { done = true; });
    });
    // The worker is in the push after the last block that fits: that one
    // cannot be there until the reader takes something.
    ASSERT_TRUE(board->WaitFor([&] { return attempted > kBlocksThatFit; }));
    EXPECT_EQ(board->Read(completed), kBlocksThatFit);
    EXPECT_EQ(channel->state(), TransferState::Receiving);
    // Taking lets it go on; every block arrives, in order.
    ASSERT_EQ(channel->Take()->kind, Event::Kind::Begin);
    int next = 0;
    for (bool ended = false; !ended;) {
        ASSERT_TRUE(board->WaitFor([&] { return completed > next || done; }));
        while (auto event = channel->Take()) {
            ended = event->kind == Event::Kind::End;
            if (ended) break;
            ASSERT_EQ(event->block.front(), static_cast<std::uint8_t>(next)) << next;
            ++next;
        }
    }
    EXPECT_EQ(next, kBlocks);
    EXPECT_EQ(channel->state(), TransferState::Ended);
    ASSERT_TRUE(board->WaitFor([&] { return done; }));
}

TEST(RequestQueue, ARequestGivenUpWhileItsWorkerIsBlockedFreesItsSlotAtOnce) {
    auto board = std::make_shared<Board>();
    auto queue = std::make_shared<RequestQueue>(1);
    auto blocked = NewChannel(board);
    auto next = NewChannel(board);
    // The first request blocks in a call that its stop does not break off
    // (a server gone silent under Wine); the test lets it return at the end.
    bool inCall = false, callMayReturn = false, stopped = false, pushedAfterCancel = true, nextMade = false;
    queue->Add(blocked, [&, board](TransferChannel& channel) {
        channel.StopWith([&] { stopped = true; });
        board->Change([&] { inCall = true; });
        board->WaitFor([&] { return callMayReturn; });
        const bool pushed = channel.Push(Event::Block({1, 2, 3}));
        const bool closedHere = channel.TakeStopBack();
        board->Change([&] { pushedAfterCancel = pushed || closedHere; });
    });
    queue->Add(next, [&, board](TransferChannel& channel) {
        channel.Push(Event::End());
        board->Change([&] { nextMade = true; });
    });
    ASSERT_TRUE(board->WaitFor([&] { return inCall; }));
    EXPECT_EQ(blocked->state(), TransferState::Sending);
    EXPECT_EQ(next->state(), TransferState::Queued);

    queue->Cancel(blocked);
    EXPECT_EQ(blocked->state(), TransferState::Cancelled);
    EXPECT_TRUE(stopped);  // the request was closed, once, by the cancel
    // The next request is made while the first worker is still blocked.
    ASSERT_TRUE(board->WaitFor([&] { return nextMade; }));
    EXPECT_TRUE(board->Read(inCall));
    EXPECT_FALSE(board->Read(callMayReturn));

    board->Change([&] { callMayReturn = true; });
    ASSERT_TRUE(board->WaitFor([&] { return !pushedAfterCancel; }));
    EXPECT_FALSE(blocked->Take().has_value());
    EXPECT_EQ(blocked->state(), TransferState::Cancelled);
}

TEST(RequestQueue, ARequestGivenUpBeforeItsTurnIsNeverMade) {
    BlockingRequests requests(2);
    auto queue = std::make_shared<RequestQueue>(1);
    auto first = NewChannel(requests.board);
    auto second = NewChannel(requests.board);
    queue->Add(first, requests.Make(0));
    queue->Add(second, requests.Make(1));
    ASSERT_TRUE(requests.board->WaitFor([&] { return requests.started.size() == 1; }));
    queue->Cancel(second);
    requests.Release(0);
    ASSERT_TRUE(requests.board->WaitFor([&] { return requests.running == 0; }));
    ASSERT_TRUE(first->Take().has_value());
    EXPECT_EQ(first->state(), TransferState::Ended);
    EXPECT_EQ(requests.StartedCount(), 1u);
    EXPECT_EQ(second->state(), TransferState::Cancelled);
}

TEST(TransferChannel, ABodyThatCannotBeWrittenFailsTheTransferAndStopsItsWorker) {
    auto board = std::make_shared<Board>();
    auto channel = NewChannel(board);
    auto queue = std::make_shared<RequestQueue>(1);
    bool workerStopped = false;
    queue->Add(channel, [&](TransferChannel& worker) {
        worker.Push(Event::Begin({}));
        while (worker.Push(Event::Block(std::vector<std::uint8_t>(64 * 1024)))) {
        }
        board->Change([&] { workerStopped = true; });
    });
    ASSERT_TRUE(board->WaitFor([&] { return channel->state() == TransferState::Receiving; }));
    channel->Fail(std::make_exception_ptr(std::runtime_error("disk full")));
    ASSERT_TRUE(board->WaitFor([&] { return workerStopped; }));
    EXPECT_EQ(channel->state(), TransferState::Failed);
    EXPECT_THROW(std::rethrow_exception(channel->failure()), std::runtime_error);
    channel->Cancel();  // over already: stays failed
    EXPECT_EQ(channel->state(), TransferState::Failed);
}

}  // namespace
}  // namespace kanvel::testing
