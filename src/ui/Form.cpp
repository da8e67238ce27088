#include "ui/Form.h"

#include "ui/Application.h"

namespace kanvel::ui {

Form::Form(Application& application, std::wstring name)
    : Control(std::move(name)), application_(application) {
    setVisible(false);
}

void Form::setClientSize(int width, int height) {
    setBounds({left(), top(), width + 2 * frameWidth_, height + 2 * frameWidth_});
}

void Form::setDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_) return;
    dpi_ = dpi;
    changed(Property::Dpi);
}

Point Form::screenPoint(Point clientOffset) const {
    return {left() + scaled(clientOffset.x), clientTop() + scaled(clientOffset.y)};
}

void Form::setRoundedRegion(int ellipseWidth, int ellipseHeight) {
    regionEllipseWidth_ = ellipseWidth;
    regionEllipseHeight_ = ellipseHeight;
    changed(Property::Region);
}

void Form::setActiveControl(Control* control) {
    activeControl_ = control;
    changed(Property::Focus);
}

void Form::showWindow() {
    closed_ = false;
    if (OnShow) OnShow();
    setVisible(true);
}

void Form::showModal() {
    closed_ = false;
    modal_ = true;
    if (OnShow) OnShow();
    setVisible(true);
    application_.runModal(*this);
    modal_ = false;
    finishClose();
}

void Form::close() {
    if (closed_) return;
    closed_ = true;
    // A modal run notices the request and ends; the window goes away then.
    if (!modal_) finishClose();
}

void Form::finishClose() {
    if (OnClose) OnClose();
    setVisible(false);
    changed(Property::Close);
}

}  // namespace kanvel::ui
