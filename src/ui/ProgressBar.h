#pragma once

#include "ui/Control.h"

namespace kanvel::ui {

// A progress bar whose position always stays within 0..max.
class ProgressBar : public Control {
public:
    using Control::Control;

    int max() const { return max_; }
    void setMax(int max);
    int position() const { return position_; }
    void setPosition(int position);

private:
    int max_ = 100;
    int position_ = 0;
};

}  // namespace kanvel::ui
