#pragma once

#include <functional>
#include <string>

#include "ui/Control.h"
#include "ui/Label.h"

namespace kanvel::ui {

// A one-line text field. Its text is the control's caption; every change of
// the text runs the change handler.
class Edit : public Control {
public:
    using Control::Control;

    const std::wstring& text() const { return caption(); }
    void setText(std::wstring text);

    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool on) { readOnly_ = on; changed(Property::ReadOnly); }
    TextAlignment alignment() const { return alignment_; }
    void setAlignment(TextAlignment a) { alignment_ = a; changed(Property::Alignment); }
    bool flat() const { return flat_; }
    void setFlat(bool on) { flat_ = on; changed(Property::Flat); }

    // Shows each character as a dot, and lets no other program read the
    // text: for a password. Set before the field is shown.
    bool password() const { return password_; }
    void setPassword(bool on) { password_ = on; }

    std::function<void()> OnChange;

private:
    bool password_ = false;
    bool readOnly_ = false;
    TextAlignment alignment_ = TextAlignment::Left;
    bool flat_ = false;
};

}  // namespace kanvel::ui
