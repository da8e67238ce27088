#pragma once

#include <windows.h>

#include "platform/win32/ResourceHolders.h"
#include "platform/win32/Win32Toolkit.h"
#include "ui/Control.h"
#include "ui/Peer.h"

namespace kanvel::platform::win32 {

// The native window behind a control. It mirrors the control's common state
// (place, caption, visible, enabled, font, hint, focus); the kinds below add
// their own. The window keeps a pointer back to its peer.
class WindowPeer : public ui::Peer {
public:
    // Posted to a top-level window whose focused control was hidden.
    static constexpr UINT kRefocusMessage = WM_APP + 1;

    WindowPeer(Win32Toolkit& toolkit, ui::Control& control);
    ~WindowPeer() override;
    WindowPeer(const WindowPeer&) = delete;
    WindowPeer& operator=(const WindowPeer&) = delete;

    HWND hwnd() const { return window_.get(); }
    ui::Control& control() const { return control_; }
    Win32Toolkit& toolkit() const { return toolkit_; }

    void PropertyChanged(ui::Property what) override;

    // A notification (WM_COMMAND code) from this native control.
    virtual void OnCommand(WORD /*code*/) {}
    // Paints an owner-drawn control, asked by its parent (WM_DRAWITEM).
    virtual void OnDrawItem(const DRAWITEMSTRUCT& /*item*/) {}
    // Colours of a native control, asked by its parent (WM_CTLCOLOR...).
    virtual HBRUSH OnControlColor(HDC dc);

    static WindowPeer* FromHwnd(HWND hwnd);
    // The native window the control's children go into.
    static HWND ParentWindowOf(const ui::Control& control);
    // The control's place in its parent window, in that window's pixels (its
    // designed place scaled by the window's DPI). A form's place is on the screen.
    static RECT PlaceOf(ui::Control& control);
    // The DPI the control is shown at: that of its form.
    static int DpiOf(ui::Control& control);
    int dpi() const { return DpiOf(control_); }
    // The control's font at its DPI.
    HFONT font() const { return toolkit_.gdi().font(control_.font(), dpi()); }

protected:
    void create(const wchar_t* windowClass, DWORD style, DWORD exStyle, HWND parent);
    void applyCommon();
    // Whether the keyboard focus is on this control or inside it.
    bool hasFocus() const;
    // Gives the focus to the first usable control once the current handler is done.
    void refocusLater() const;
    void applyEnabled();
    virtual void applyOwn(ui::Property /*what*/) {}
    // Runs an event handler of the control, guarded by the default handler.
    template <class Handler>
    void dispatch(Handler&& handler) {
        toolkit_.guarded(std::forward<Handler>(handler));
    }

private:
    void updateHint();

    Win32Toolkit& toolkit_;
    ui::Control& control_;
    OwnedWindow window_;
};

}  // namespace kanvel::platform::win32

