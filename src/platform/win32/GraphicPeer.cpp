#include "platform/win32/GraphicPeer.h"

#include <string>

#include "platform/win32/WindowPeer.h"

namespace kanvel::platform::win32 {

void GraphicPeer::PropertyChanged(ui::Property what) {
    if (what == ui::Property::Focus || what == ui::Property::Close) return;
    HWND parent = WindowPeer::ParentWindowOf(control_);
    if (parent == nullptr) return;
    if (what == ui::Property::Caption) publishCaption(parent);
    // Where the control is now; for a move or resize, the whole parent.
    if (what == ui::Property::Bounds || what == ui::Property::Visible) {
        InvalidateRect(parent, nullptr, TRUE);
    } else {
        const RECT r = WindowPeer::PlaceOf(control_);
        InvalidateRect(parent, &r, TRUE);
    }
    if (what == ui::Property::Repaint) UpdateWindow(parent);
}

GraphicPeer::GraphicPeer(ui::Control& control) : control_(control) {
    if (HWND parent = WindowPeer::ParentWindowOf(control_)) publishCaption(parent);
}

GraphicPeer::~GraphicPeer() {
    if (atom_ != 0) GlobalDeleteAtom(atom_);
}

void GraphicPeer::publishCaption(HWND parent) {
    // A drawn label has no window whose text tools could read, so its
    // caption is published as a property of the window it is drawn on.
    const std::wstring text = control_.caption().substr(0, 255);
    const ATOM previous = atom_;
    atom_ = text.empty() ? 0 : GlobalAddAtomW(text.c_str());
    SetPropW(parent, (L"Kanvel.Text." + control_.name()).c_str(), reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom_)));
    if (previous != 0) GlobalDeleteAtom(previous);
}

}  // namespace kanvel::platform::win32
