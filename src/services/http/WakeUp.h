#pragma once

namespace kanvel::services {

// Tells the thread that waits for transfers that something arrived. The
// Windows client sets an event its message loop waits on; tests notify a
// condition variable.
class WakeUp {
public:
    virtual ~WakeUp() = default;
    // Called from any thread, possibly while another waits.
    virtual void Signal() = 0;
};

}  // namespace kanvel::services
