#pragma once

#include "platform/win32/WindowPeer.h"

namespace kanvel::platform::win32 {

// A window of our own class that holds other controls: a form, a panel or a
// group box. It paints its face (background, edges and the pictures, which
// have no window) and passes the notifications of native children on to
// their peers. Its window text is its caption, so a group box is named by
// its caption for assistive technology too.
class ContainerPeer : public WindowPeer {
public:
    ContainerPeer(Win32Toolkit& toolkit, ui::Control& control);

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Paints the face (everything but the child windows) into the DC, in
    // this window's client coordinates. Transparent children paint it
    // behind themselves.
    void paintFace(HDC dc, const RECT& client);

protected:
    virtual LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void paintFrame(HDC dc, const RECT& client);
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

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void paintFrame(HDC dc, const RECT& client) override;
    void applyOwn(ui::Property what) override;

private:
    void placeOnScreen();
    void applyRegion();
    void storePlace();
    void focusActiveControl();
    // Gives the focus to the preferred control when it can take it, else to
    // the first control in the tab order.
    void focusControl(HWND preferred);

    ui::Form& form_;
    HWND lastFocus_ = nullptr;
};

}  // namespace kanvel::platform::win32
