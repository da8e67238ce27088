#pragma once

#include <functional>
#include <memory>

#include "ui/Peer.h"

namespace kanvel::ui {

// A timer whose event runs on the GUI thread every interval while enabled.
class Timer {
public:
    Timer() = default;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer() { peer_.reset(); }

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    int interval() const { return interval_; }
    void setInterval(int ms);

    std::function<void()> OnTimer;
    // The timer's event: what the native timer calls when it fires.
    void fire() {
        if (enabled_ && OnTimer) OnTimer();
    }

    void attachPeer(std::unique_ptr<Peer> peer) { peer_ = std::move(peer); }

private:
    bool enabled_ = true;
    int interval_ = 1000;
    std::unique_ptr<Peer> peer_;
};

}  // namespace kanvel::ui
