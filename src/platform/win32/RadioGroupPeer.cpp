#include "platform/win32/RadioGroupPeer.h"

#include <commctrl.h>

namespace kanvel::platform::win32 {

RadioGroupPeer::RadioGroupPeer(Win32Toolkit& toolkit, ui::RadioGroup& group)
    : ContainerPeer(toolkit, group), group_(group) {
    rebuildButtons();
}

RadioGroupPeer::~RadioGroupPeer() {
    for (HWND button : buttons_) DestroyWindow(button);
}

void RadioGroupPeer::rebuildButtons() {
    for (HWND button : buttons_) DestroyWindow(button);
    buttons_.clear();
    HFONT font = toolkit().gdi().font(group_.font());
    for (std::size_t i = 0; i < group_.items().size(); ++i) {
        HWND button = CreateWindowExW(0, WC_BUTTONW, group_.items()[i].c_str(),
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_RADIOBUTTON, 0, 0, 10, 10, hwnd(),
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)), toolkit().instance(),
                                      nullptr);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        EnableWindow(button, group_.enabled());
        buttons_.push_back(button);
    }
    layoutButtons();
    showChoice();
}

void RadioGroupPeer::layoutButtons() {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const ui::Rect r = group_.itemBounds(static_cast<int>(i));
        MoveWindow(buttons_[i], r.left, r.top, r.width, r.height, TRUE);
    }
}

void RadioGroupPeer::showChoice() {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        SendMessageW(buttons_[i], BM_SETCHECK,
                     static_cast<int>(i) == group_.itemIndex() ? BST_CHECKED : BST_UNCHECKED, 0);
}

LRESULT RadioGroupPeer::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && lParam != 0) {
        const int index = static_cast<int>(LOWORD(wParam)) - 1;
        dispatch([&] { group_.choose(index); });
        showChoice();  // a click on the chosen item changes nothing
        return 0;
    }
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GdiResources::Resolve(group_.font().color));
        SetBkColor(dc, GdiResources::Resolve(group_.color()));
        return reinterpret_cast<LRESULT>(toolkit().gdi().brush(group_.color()));
    }
    return ContainerPeer::handle(message, wParam, lParam);
}

void RadioGroupPeer::applyOwn(ui::Property what) {
    switch (what) {
        case ui::Property::Items: rebuildButtons(); break;
        case ui::Property::ItemIndex: showChoice(); break;
        case ui::Property::Bounds: layoutButtons(); break;
        case ui::Property::Enabled:
            for (HWND button : buttons_) EnableWindow(button, group_.enabled());
            break;
        case ui::Property::Font:
            for (HWND button : buttons_)
                SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(toolkit().gdi().font(group_.font())), TRUE);
            break;
        default: break;
    }
    ContainerPeer::applyOwn(what);
}

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
