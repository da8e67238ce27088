#include "platform/win32/TimerPeer.h"

#include <map>

namespace kanvel::platform::win32 {

namespace {
std::map<UINT_PTR, TimerPeer*>& RunningTimers() {
    static std::map<UINT_PTR, TimerPeer*> timers;
    return timers;
}
}  // namespace

TimerPeer::TimerPeer(Win32Toolkit& toolkit, ui::Timer& timer) : toolkit_(toolkit), timer_(timer) {
    if (timer_.enabled()) start();
}

TimerPeer::~TimerPeer() { stop(); }

void TimerPeer::PropertyChanged(ui::Property) {
    stop();
    if (timer_.enabled()) start();
}

void TimerPeer::start() {
    running_.reset(SetTimer(nullptr, 0, static_cast<UINT>(timer_.interval()), &TimerPeer::Tick));
    RunningTimers()[running_.get()] = this;
}

void TimerPeer::stop() {
    if (!running_) return;
    RunningTimers().erase(running_.get());
    running_.reset();
}

void CALLBACK TimerPeer::Tick(HWND, UINT, UINT_PTR id, DWORD) {
    auto found = RunningTimers().find(id);
    if (found == RunningTimers().end()) return;
    TimerPeer* peer = found->second;
    peer->toolkit_.guarded([peer] { peer->timer_.fire(); });
}

}  // namespace kanvel::platform::win32
