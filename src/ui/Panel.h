#pragma once

#include "ui/Control.h"

namespace kanvel::ui {

enum class Bevel { None, Raised, Lowered };

// A container with an optional bevelled edge.
class Panel : public Control {
public:
    using Control::Control;

    Bevel outerBevel() const { return outerBevel_; }
    Bevel innerBevel() const { return innerBevel_; }
    void setBevels(Bevel outer, Bevel inner) {
        outerBevel_ = outer;
        innerBevel_ = inner;
        changed(Property::Bevel);
    }

private:
    Bevel outerBevel_ = Bevel::None;
    Bevel innerBevel_ = Bevel::None;
};

// A container framed by an etched line with its caption on the top edge.
class GroupBox : public Panel {
public:
    using Panel::Panel;
};

}  // namespace kanvel::ui
