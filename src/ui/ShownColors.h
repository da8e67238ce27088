#pragma once

#include "ui/Color.h"

namespace kanvel::ui {

class Control;

// The two colours a control is drawn in: its face and its text.
struct ShownColors {
    Color background;
    Color text;
    friend constexpr bool operator==(const ShownColors&, const ShownColors&) = default;
};

// The colours a control is drawn in. Normally its own: its colour and its
// font's. While a contrast theme is on, the system's pair for the kind of
// surface the control is (a button, an information field, a window's field
// such as a list, or else a dialog's face), so every text keeps the contrast
// the user chose; a transparent label and a check box show their parent's.
ShownColors ColorsShown(const Control& control, bool highContrast);

}  // namespace kanvel::ui
