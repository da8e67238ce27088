#pragma once

#include <string>

#include "ui/Control.h"

namespace kanvel::ui {

// A picture from the program's resources, drawn on its parent.
class Image : public Control {
public:
    using Control::Control;

    // Name of a bitmap resource; empty shows nothing.
    const std::wstring& picture() const { return picture_; }
    void setPicture(std::wstring resource) {
        picture_ = std::move(resource);
        changed(Property::Picture);
    }
    bool stretch() const { return stretch_; }
    void setStretch(bool on) { stretch_ = on; changed(Property::Picture); }

private:
    std::wstring picture_;
    bool stretch_ = false;
};

}  // namespace kanvel::ui
