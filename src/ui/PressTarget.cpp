#include "ui/PressTarget.h"

namespace kanvel::ui {

PressTarget TargetOfPress(Control& container, Control* windowlessChild, MouseButton button) {
    Control* target = windowlessChild != nullptr ? windowlessChild : &container;
    if (target->OnMouseDown) return {target, PressTarget::Action::MouseDown};
    if (windowlessChild != nullptr && target->OnClick && button == MouseButton::Left)
        return {target, PressTarget::Action::Click};
    return {target, PressTarget::Action::None};
}

}  // namespace kanvel::ui
