#pragma once

#include <chrono>
#include <cstdint>
#include <deque>

namespace kanvel::services {

// Tells a body that still trickles in from one that moves. A server can
// keep every single wait for data short (a byte every few seconds) and so
// never run into the client's time-outs; this ends such a download: less
// than minimumBytes received in any window of the given length is a stall.
class StallWatch {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kDefaultWindow{60};
    static constexpr std::int64_t kDefaultMinimumBytes = 1024;

    StallWatch(Clock::time_point start, std::chrono::milliseconds window = kDefaultWindow,
               std::int64_t minimumBytes = kDefaultMinimumBytes);

    // Notes the running total of bytes at a moment (moments never go back);
    // true when, over the last whole window, fewer than minimumBytes came.
    bool Stalled(Clock::time_point now, std::int64_t total);

private:
    struct Sample {
        Clock::time_point when;
        std::int64_t total;
    };

    std::chrono::milliseconds window_;
    std::int64_t minimumBytes_;
    // Totals noted within the last window (a few of them), and the last one
    // before it.
    std::deque<Sample> samples_;
};

}  // namespace kanvel::services
