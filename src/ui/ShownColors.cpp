#include "ui/ShownColors.h"

#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Control.h"
#include "ui/Label.h"

namespace kanvel::ui {

namespace {
constexpr ShownColors kButtonPair{colors::ButtonFace, colors::ButtonText};
constexpr ShownColors kInfoPair{colors::InfoBackground, colors::InfoText};
constexpr ShownColors kWindowPair{colors::Window, colors::WindowText};

ShownColors SystemPairOf(const Control& control) {
    if (dynamic_cast<const Button*>(&control) != nullptr) return kButtonPair;
    if (control.color() == colors::InfoBackground) return kInfoPair;
    if (control.color() == colors::Window) return kWindowPair;
    return kButtonPair;
}

// A transparent label and a check box draw their text on their parent's face.
bool ShowsParentsFace(const Control& control) {
    if (control.parent() == nullptr) return false;
    const auto* label = dynamic_cast<const Label*>(&control);
    return (label != nullptr && label->transparent()) || dynamic_cast<const CheckBox*>(&control) != nullptr;
}
}  // namespace

ShownColors ColorsShown(const Control& control, bool highContrast) {
    if (!highContrast) return {control.color(), control.font().color};
    if (ShowsParentsFace(control)) return ColorsShown(*control.parent(), true);
    return SystemPairOf(control);
}

}  // namespace kanvel::ui
