#pragma once

#include <string>

#include "ui/Control.h"

namespace kanvel::ui {

// A push button, optionally with a small picture (glyph) beside its caption.
// The default button is pressed by Enter, the cancel button by Escape.
class Button : public Control {
public:
    using Control::Control;

    bool isDefault() const { return default_; }
    void setDefault(bool on) { default_ = on; changed(Property::DefaultButton); }
    bool isCancel() const { return cancel_; }
    void setCancel(bool on) { cancel_ = on; }
    // Name of a bitmap resource, empty for none.
    const std::wstring& glyph() const { return glyph_; }
    void setGlyph(std::wstring resource) { glyph_ = std::move(resource); changed(Property::Glyph); }

private:
    bool default_ = false;
    bool cancel_ = false;
    std::wstring glyph_;
};

// A flat button that can stay held down.
class SpeedButton : public Button {
public:
    using Button::Button;

    bool down() const { return down_; }
    void setDown(bool down) {
        if (down == down_) return;
        down_ = down;
        changed(Property::Down);
    }

private:
    bool down_ = false;
};

}  // namespace kanvel::ui
