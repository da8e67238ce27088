#include "ui/Control.h"

#include <algorithm>

#include "ui/Form.h"

namespace kanvel::ui {

Control::Control(std::wstring name, Control* parent) : name_(std::move(name)) {
    if (parent != nullptr) {
        parent_ = parent;
        parent->addChild(this);
        font_ = parent->font_;
        color_ = parent->color_;
    }
}

Control::~Control() {
    peer_.reset();
    for (Control* child : children_) child->parent_ = nullptr;
    if (parent_ != nullptr) parent_->removeChild(this);
}

void Control::setParent(Control* parent) {
    if (parent == parent_) return;
    if (parent_ != nullptr) parent_->removeChild(this);
    parent_ = parent;
    if (parent_ != nullptr) parent_->addChild(this);
    changed(Property::Parent);
}

Form* Control::form() {
    Control* c = this;
    while (c != nullptr) {
        if (auto* f = dynamic_cast<Form*>(c)) return f;
        c = c->parent_;
    }
    return nullptr;
}

void Control::setBounds(Rect bounds) {
    if (bounds == bounds_) return;
    bounds_ = bounds;
    changed(Property::Bounds);
}

void Control::setLeft(int left) { setBounds({left, bounds_.top, bounds_.width, bounds_.height}); }
void Control::setTop(int top) { setBounds({bounds_.left, top, bounds_.width, bounds_.height}); }
void Control::setWidth(int width) { setBounds({bounds_.left, bounds_.top, width, bounds_.height}); }
void Control::setHeight(int height) { setBounds({bounds_.left, bounds_.top, bounds_.width, height}); }

void Control::setCaption(std::wstring caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    changed(Property::Caption);
}

void Control::setVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    changed(Property::Visible);
}

bool Control::showing() const {
    for (const Control* c = this; c != nullptr; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}

void Control::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    changed(Property::Enabled);
}

void Control::setLocked(bool locked) {
    if (locked == locked_) return;
    locked_ = locked;
    changed(Property::Enabled);
}

void Control::setHint(std::wstring hint) {
    if (hint == hint_) return;
    hint_ = std::move(hint);
    changed(Property::Hint);
}

void Control::setShowHint(bool show) {
    if (show == showHint_) return;
    showHint_ = show;
    changed(Property::Hint);
}

void Control::setFont(Font font) {
    if (font == font_) return;
    font_ = std::move(font);
    changed(Property::Font);
}

void Control::setColor(Color color) {
    if (color == color_) return;
    color_ = color;
    changed(Property::Color);
}

void Control::setCursor(CursorShape cursor) {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    changed(Property::Cursor);
}

void Control::setFocus() {
    if (Form* f = form()) f->setActiveControl(this);
}

void Control::repaint() { changed(Property::Repaint); }
void Control::bringToFront() { changed(Property::BringToFront); }

void Control::click() {
    if (OnClick) OnClick();
}

void Control::mouseDown(MouseButton button, Point where) {
    if (OnMouseDown) OnMouseDown(button, where);
}

void Control::attachPeer(std::unique_ptr<Peer> peer) { peer_ = std::move(peer); }
void Control::detachPeer() { peer_.reset(); }

void Control::changed(Property what) {
    if (peer_) peer_->PropertyChanged(what);
}

void Control::addChild(Control* child) { children_.push_back(child); }

void Control::removeChild(Control* child) {
    children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
}

}  // namespace kanvel::ui
