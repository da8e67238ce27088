#pragma once

#include <initializer_list>
#include <vector>

#include "ui/Control.h"

namespace kanvel::ui {

// Locks controls for as long as it lives (see Control::setLocked). A control
// that was locked already stays locked when the scope ends, so scopes nest.
class LockScope {
public:
    explicit LockScope(std::initializer_list<Control*> controls) {
        for (Control* control : controls)
            if (!control->locked()) {
                control->setLocked(true);
                locked_.push_back(control);
            }
    }
    ~LockScope() {
        for (Control* control : locked_) control->setLocked(false);
    }
    LockScope(const LockScope&) = delete;
    LockScope& operator=(const LockScope&) = delete;

private:
    std::vector<Control*> locked_;
};

}  // namespace kanvel::ui
