#include "ui/CheckBox.h"

namespace kanvel::ui {

void CheckBox::setChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    changed(Property::Checked);
    Control::click();
}

}  // namespace kanvel::ui
