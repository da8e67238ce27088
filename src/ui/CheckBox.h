#pragma once

#include "ui/Control.h"

namespace kanvel::ui {

// A check box. A change of its ticked state, made by the user or by the
// program, runs its click handler.
class CheckBox : public Control {
public:
    using Control::Control;

    bool checked() const { return checked_; }
    void setChecked(bool checked);
    // A user's click toggles the box (and so runs the handler).
    void click() override { setChecked(!checked_); }

private:
    bool checked_ = false;
};

}  // namespace kanvel::ui
