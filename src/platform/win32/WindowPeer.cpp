#include "platform/win32/WindowPeer.h"

#include "platform/win32/ContainerPeer.h"

#include <commctrl.h>

#include <unordered_map>

#include "ui/DpiScale.h"
#include "ui/Form.h"

namespace kanvel::platform::win32 {

namespace {
// The peer of each window of ours, looked up for every message a peer
// receives. A map in the process rather than a window property: under Wine
// every property look-up is a round trip to the wineserver. Everything runs
// on the one GUI thread.
std::unordered_map<HWND, WindowPeer*>& Peers() {
    static std::unordered_map<HWND, WindowPeer*> peers;
    return peers;
}
}  // namespace

WindowPeer::WindowPeer(Win32Toolkit& toolkit, ui::Control& control) : toolkit_(toolkit), control_(control) {}

WindowPeer::~WindowPeer() {
    if (!window_) return;
    // The window may already be gone with its parent, and its handle given to
    // a new window with a peer of its own: forget only this peer's entry.
    const auto found = Peers().find(hwnd());
    if (found != Peers().end() && found->second == this) Peers().erase(found);
    window_.reset();
}

WindowPeer* WindowPeer::FromHwnd(HWND hwnd) {
    if (hwnd == nullptr) return nullptr;
    const auto found = Peers().find(hwnd);
    return found == Peers().end() ? nullptr : found->second;
}

HWND WindowPeer::ParentWindowOf(const ui::Control& control) {
    for (ui::Control* p = control.parent(); p != nullptr; p = p->parent())
        if (auto* peer = dynamic_cast<WindowPeer*>(p->peer())) return peer->hwnd();
    return nullptr;
}

int WindowPeer::DpiOf(ui::Control& control) {
    const ui::Form* form = control.form();
    return form != nullptr ? form->dpi() : ui::kDesignDpi;
}

RECT WindowPeer::PlaceOf(ui::Control& control) {
    if (auto* form = dynamic_cast<ui::Form*>(&control))
        return RECT{form->left(), form->top(), form->left() + form->scaled(form->width()),
                    form->top() + form->scaled(form->height())};
    int x = control.left();
    int y = control.top();
    // Graphic parents have no window of their own: add their offsets.
    for (ui::Control* p = control.parent(); p != nullptr; p = p->parent()) {
        if (dynamic_cast<WindowPeer*>(p->peer()) != nullptr) {
            if (auto* form = dynamic_cast<ui::Form*>(p)) {
                x += form->frameWidth();
                y += form->frameWidth();
            }
            break;
        }
        x += p->left();
        y += p->top();
    }
    const ui::Rect place = ui::ScaleToDpi(ui::Rect{x, y, control.width(), control.height()}, DpiOf(control));
    return RECT{place.left, place.top, place.left + place.width, place.top + place.height};
}

void WindowPeer::create(const wchar_t* windowClass, DWORD style, DWORD exStyle, HWND parent) {
    const RECT place = PlaceOf(control_);
    window_.reset(CreateWindowExW(exStyle, windowClass, control_.caption().c_str(), style, place.left, place.top,
                                  place.right - place.left, place.bottom - place.top, parent, nullptr,
                                  toolkit_.instance(), nullptr));
    Peers()[hwnd()] = this;
    applyCommon();
}

void WindowPeer::applyCommon() {
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font()), FALSE);
    EnableWindow(hwnd(), control_.usable());
    updateHint();
}

bool WindowPeer::hasFocus() const {
    HWND focus = GetFocus();
    return focus != nullptr && (focus == hwnd() || IsChild(hwnd(), focus));
}

// The focus must not stay on a control that was hidden or disabled: once the
// handler has finished (switching pages, say), it goes to the first control
// the user can use then.
void WindowPeer::refocusLater() const { PostMessageW(GetAncestor(hwnd(), GA_ROOT), kRefocusMessage, 0, 0); }

// Locking the control with the focus for a run leaves the focus with the
// window itself, not with the next control: while a run locks the panel the
// next one is "Zamknij", where a Space or Enter meant for the locked button
// would end the program; keys that reach the window press nothing. A control
// disabled otherwise hands the focus on. Either way it gets the focus back
// when it is usable again.
void WindowPeer::applyEnabled() {
    const HWND focus = GetFocus();
    const bool hadFocus = hasFocus();
    auto* form = dynamic_cast<FormPeer*>(FromHwnd(GetAncestor(hwnd(), GA_ROOT)));
    if (form == nullptr) {
        EnableWindow(hwnd(), control_.usable());
        return;
    }
    if (hadFocus && control_.locked()) form->holdFocusWhileLocked(focus);
    EnableWindow(hwnd(), control_.usable());
    if (control_.usable()) {
        form->usableAgain(hwnd());
    } else if (hadFocus && !control_.locked()) {
        form->returnFocusLater(focus);
        refocusLater();
    } else if (!control_.locked()) {
        form->lockLifted(hwnd());
    }
}

void WindowPeer::PropertyChanged(ui::Property what) {
    if (!window_) return;
    switch (what) {
        case ui::Property::Bounds: {
            const RECT r = PlaceOf(control_);
            MoveWindow(hwnd(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
            break;
        }
        case ui::Property::Caption: SetWindowTextW(hwnd(), control_.caption().c_str()); break;
        case ui::Property::Visible: {
            const bool hadFocus = hasFocus();
            ShowWindow(hwnd(), control_.visible() ? SW_SHOWNA : SW_HIDE);
            if (hadFocus && !control_.visible()) refocusLater();
            break;
        }
        case ui::Property::Enabled: applyEnabled(); break;
        case ui::Property::Font:
            SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font()), TRUE);
            break;
        case ui::Property::Dpi: {
            // The form moved to a screen of another density: new place and font.
            const RECT r = PlaceOf(control_);
            MoveWindow(hwnd(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
            SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font()), TRUE);
            break;
        }
        case ui::Property::Color: InvalidateRect(hwnd(), nullptr, TRUE); break;
        case ui::Property::Hint: updateHint(); break;
        case ui::Property::Repaint:
            InvalidateRect(hwnd(), nullptr, TRUE);
            UpdateWindow(hwnd());
            break;
        case ui::Property::BringToFront:
            SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            break;
        case ui::Property::Parent: {
            SetParent(hwnd(), ParentWindowOf(control_));
            const RECT r = PlaceOf(control_);
            MoveWindow(hwnd(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
            break;
        }
        default: break;
    }
    applyOwn(what);
}

HBRUSH WindowPeer::OnControlColor(HDC dc) {
    const ui::ShownColors colors = Win32Toolkit::ColorsOf(control_);
    SetTextColor(dc, GdiResources::Resolve(colors.text));
    SetBkColor(dc, GdiResources::Resolve(colors.background));
    return toolkit_.gdi().brush(colors.background);
}

void WindowPeer::updateHint() {
    HWND root = GetAncestor(hwnd(), GA_ROOT);
    if (root == nullptr || root == hwnd()) return;
    HWND tooltip = toolkit_.tooltipFor(root);
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = root;
    info.uId = reinterpret_cast<UINT_PTR>(hwnd());
    SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    const std::wstring hint = control_.effectiveHint();
    if (hint.empty()) return;
    info.lpszText = const_cast<wchar_t*>(hint.c_str());
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace kanvel::platform::win32
