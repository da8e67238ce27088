#include "ui/ProgressBar.h"

#include <algorithm>

namespace kanvel::ui {

void ProgressBar::setMax(int max) {
    max_ = std::max(0, max);
    changed(Property::Max);
    if (position_ > max_) setPosition(max_);
}

void ProgressBar::setPosition(int position) {
    const int clamped = std::clamp(position, 0, max_);
    if (clamped == position_) return;
    position_ = clamped;
    changed(Property::Position);
}

}  // namespace kanvel::ui
