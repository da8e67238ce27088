#pragma once

#include <windows.h>

#include "platform/win32/Win32Toolkit.h"
#include "ui/Control.h"
#include "ui/Peer.h"

namespace kanvel::platform::win32 {

// The native window behind a control. It mirrors the control's common state
// (place, caption, visible, enabled, font, hint, focus); the kinds below add
// their own. The window keeps a pointer back to its peer.
class WindowPeer : public ui::Peer {
public:
    WindowPeer(Win32Toolkit& toolkit, ui::Control& control);
    ~WindowPeer() override;
    WindowPeer(const WindowPeer&) = delete;
    WindowPeer& operator=(const WindowPeer&) = delete;

    HWND hwnd() const { return hwnd_; }
    ui::Control& control() const { return control_; }
    Win32Toolkit& toolkit() const { return toolkit_; }

    void PropertyChanged(ui::Property what) override;

    // A notification (WM_COMMAND code) from this native control.
    virtual void OnCommand(WORD /*code*/) {}
    // Colours of a native control, asked by its parent (WM_CTLCOLOR...).
    virtual HBRUSH OnControlColor(HDC dc);

    static WindowPeer* FromHwnd(HWND hwnd);
    // The native window the control's children go into.
    static HWND ParentWindowOf(const ui::Control& control);
    // The control's place in its parent window, in that window's pixels.
    static RECT PlaceOf(const ui::Control& control);

protected:
    void create(const wchar_t* windowClass, DWORD style, DWORD exStyle, HWND parent);
    void applyCommon();
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
    HWND hwnd_ = nullptr;
};

}  // namespace kanvel::platform::win32

