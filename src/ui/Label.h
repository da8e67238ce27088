#pragma once

#include "ui/Control.h"

namespace kanvel::ui {

enum class TextAlignment { Left, Center, Right };

// A text drawn on its parent. With word wrap the text breaks at the label's
// width; with auto size the label takes the height of its text.
class Label : public Control {
public:
    using Control::Control;

    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on) { wordWrap_ = on; changed(Property::Caption); }
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on) { autoSize_ = on; changed(Property::Caption); }
    TextAlignment alignment() const { return alignment_; }
    void setAlignment(TextAlignment a) { alignment_ = a; changed(Property::Caption); }
    bool transparent() const { return transparent_; }
    void setTransparent(bool on) { transparent_ = on; changed(Property::Color); }

private:
    bool wordWrap_ = false;
    bool autoSize_ = true;
    TextAlignment alignment_ = TextAlignment::Left;
    bool transparent_ = true;
};

// A short text in a window of its own, so that it can lie over other
// windowed controls (as "Wybór:" over the edge of the licence choice).
class StaticText : public Control {
public:
    using Control::Control;
};

}  // namespace kanvel::ui
