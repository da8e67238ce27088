#pragma once

namespace kanvel::ui {

// What changed on a control (or timer), so that its native peer can mirror it.
// Each value names one property; a peer never has to guess what a change
// meant from a value that stands for something else.
enum class Property {
    Bounds,
    Caption,
    Visible,
    Enabled,
    Hint,
    Font,
    Color,
    Parent,
    Checked,
    Items,
    ItemIndex,
    TopIndex,
    Selection,
    Max,
    Position,
    Picture,
    Down,
    Repaint,
    Focus,
    Region,
    ReadOnly,
    Alignment,
    WordWrap,
    AutoSize,
    Transparent,
    DefaultButton,
    Flat,
    Bevel,
    Dpi,
    Interval,
    Cursor,
    Glyph,
    BringToFront,
    Close,
};

// The native side of a control. A control with a peer tells it about every
// change; the peer reads the new state back from the control. Controls
// without a peer (the tests) simply keep their state.
class Peer {
public:
    virtual ~Peer() = default;
    virtual void PropertyChanged(Property what) = 0;
};

}  // namespace kanvel::ui
