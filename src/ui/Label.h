#pragma once

#include "ui/Control.h"

namespace kanvel::ui {

enum class TextAlignment { Left, Center, Right };

// A line (or, with word wrap, a block) of text. With word wrap the text
// breaks at the label's width; with auto size the label takes the height of
// its text. A transparent label shows its parent's face behind the text.
class Label : public Control {
public:
    using Control::Control;

    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on) { wordWrap_ = on; changed(Property::WordWrap); }
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on) { autoSize_ = on; changed(Property::AutoSize); }
    TextAlignment alignment() const { return alignment_; }
    void setAlignment(TextAlignment a) { alignment_ = a; changed(Property::Alignment); }
    bool transparent() const { return transparent_; }
    void setTransparent(bool on) { transparent_ = on; changed(Property::Transparent); }

private:
    bool wordWrap_ = false;
    bool autoSize_ = true;
    TextAlignment alignment_ = TextAlignment::Left;
    bool transparent_ = true;
};

// A label that acts like a web link: it can take the keyboard focus, and its
// click handler runs on a click, on Space and on Enter.
class LinkLabel : public Label {
public:
    using Label::Label;
};

// A short text in a window of its own, so that it can lie over other
// windowed controls (as "Wybór:" over the edge of the licence choice).
class StaticText : public Control {
public:
    using Control::Control;
};

}  // namespace kanvel::ui
