#pragma once

#include "platform/win32/WindowPeer.h"

namespace kanvel::platform::win32 {

// A window of our own class that holds other controls: the base of the
// peers of forms, panels and group boxes. It paints its face (background,
// the frame its kind draws, and the pictures, which have no window) and
// passes the notifications of native children on to their peers. Its window
// text is its caption, so a group box is named by its caption for assistive
// technology too.
class ContainerPeer : public WindowPeer {
public:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Paints the face (everything but the child windows) into the DC, in
    // this window's client coordinates. Transparent children paint it
    // behind themselves.
    void paintFace(HDC dc, const RECT& client);

protected:
    // Makes a child window of the container class in the parent's window.
    ContainerPeer(Win32Toolkit& toolkit, ui::Control& control);
    // For a kind that makes its window itself (a form's top-level window).
    struct OwnWindow {};
    ContainerPeer(Win32Toolkit& toolkit, ui::Control& control, OwnWindow);

    virtual LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // The edge the kind draws around its face.
    virtual void paintFrame(HDC dc, const RECT& client) = 0;
    // How far inside the face the pictures' places start (designed length).
    virtual int pictureInset() const { return 0; }
    void applyOwn(ui::Property what) override;

private:
    void paint();
    void paintPictures(HDC dc);
    bool mouseDown(ui::MouseButton button, LPARAM lParam);
    bool setCursor(HWND under);
    ui::Control* graphicChildAt(POINT p) const;
};

// The top-level window of a form: borderless popup, rounded region, drag,
// closing, and its place on the screen.
class FormPeer : public ContainerPeer {
public:
    FormPeer(Win32Toolkit& toolkit, ui::Form& form);

    // A control that had the focus was disabled: it gets the focus back when
    // it, or the control it lies in, is usable again.
    void returnFocusLater(HWND focused) { focusToReturn_ = focused; }
    void usableAgain(HWND control);
    // The control with the focus is being locked for a run: until it is
    // usable again (or the user moves the focus himself) the window itself
    // keeps the focus, so that no key reaches another control.
    void holdFocusWhileLocked(HWND focused);
    // The lock on a control has ended and it stays disabled: the first
    // usable control takes the focus the window held for it.
    void lockLifted(HWND control);

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void paintFrame(HDC dc, const RECT& client) override;
    // The pictures lie inside the form's frame.
    int pictureInset() const override;
    void applyOwn(ui::Property what) override;

private:
    void placeOnScreen();
    void applyRegion();
    void storePlace();
    void focusActiveControl();
    // Gives the focus to the preferred control when it can take it, else to
    // the first control in the tab order that can.
    void focusControl(HWND preferred);
    // Shown, enabled, ours, and not a radio button that is not chosen.
    bool canTakeFocus(HWND control) const;
    // Whether the focus is to return to this control or into it.
    bool returnsFocusTo(HWND control) const;

    ui::Form& form_;
    HWND lastFocus_ = nullptr;
    HWND focusToReturn_ = nullptr;
    bool holdingFocus_ = false;
};

}  // namespace kanvel::platform::win32
