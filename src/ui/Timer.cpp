#include "ui/Timer.h"

namespace kanvel::ui {

void Timer::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    if (peer_) peer_->PropertyChanged(Property::Enabled);
}

void Timer::setInterval(int ms) {
    if (ms == interval_) return;
    interval_ = ms;
    if (peer_) peer_->PropertyChanged(Property::Interval);
}

}  // namespace kanvel::ui
