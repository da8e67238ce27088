#pragma once

#include "ui/Control.h"

namespace kanvel::ui {

// Where a press of a mouse button on a container lands. A windowless child
// under the pointer (a picture, a plain label) is what the user pressed: it
// takes the press with its mouse-down handler, or, with only a click
// handler, is clicked by the left button; with neither, nothing happens.
// Only a press beside every such child reaches the container's own handler
// (the surfaces that drag the window).
struct PressTarget {
    enum class Action { None, MouseDown, Click };
    Control* control = nullptr;
    Action action = Action::None;
};

PressTarget TargetOfPress(Control& container, Control* windowlessChild, MouseButton button);

}  // namespace kanvel::ui
