#include "services/download/StallWatch.h"

namespace kanvel::services {

namespace {
// Samples closer together than a sixteenth of the window are not kept: the
// watch then holds at most eighteen whatever the block rate, and notices a
// stall at most that sixteenth late (never early).
constexpr int kSamplesPerWindow = 16;
}  // namespace

StallWatch::StallWatch(Clock::time_point start, std::chrono::milliseconds window, std::int64_t minimumBytes)
    : window_(window), minimumBytes_(minimumBytes) {
    samples_.push_back({start, 0});
}

bool StallWatch::Stalled(Clock::time_point now, std::int64_t total) {
    if (now - samples_.back().when >= window_ / kSamplesPerWindow) samples_.push_back({now, total});
    const Clock::time_point windowStart = now - window_;
    // Keep one sample at or before the window's start: the total then (or
    // less, which can only make the watch later, never wrong).
    while (samples_.size() > 1 && samples_[1].when <= windowStart) samples_.pop_front();
    const Sample& atWindowStart = samples_.front();
    return atWindowStart.when <= windowStart && total - atWindowStart.total < minimumBytes_;
}

}  // namespace kanvel::services
