#include "platform/win32/GraphicPeer.h"

#include "platform/win32/WindowPeer.h"

namespace kanvel::platform::win32 {

void GraphicPeer::PropertyChanged(ui::Property what) {
    if (what == ui::Property::Focus || what == ui::Property::Close) return;
    HWND parent = WindowPeer::ParentWindowOf(control_);
    if (parent == nullptr) return;
    // Where the control is now; for a move or resize, the whole parent.
    if (what == ui::Property::Bounds || what == ui::Property::Visible || what == ui::Property::Dpi) {
        InvalidateRect(parent, nullptr, TRUE);
    } else {
        const RECT r = WindowPeer::PlaceOf(control_);
        InvalidateRect(parent, &r, TRUE);
    }
    if (what == ui::Property::Repaint) UpdateWindow(parent);
}

}  // namespace kanvel::platform::win32
