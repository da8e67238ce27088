#include "platform/win32/RadioGroupPeer.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "ui/DpiScale.h"

namespace kanvel::platform::win32 {

namespace {
constexpr UINT_PTR kButtonSubclass = 1;
}  // namespace

RadioGroupPeer::RadioGroupPeer(Win32Toolkit& toolkit, ui::RadioGroup& group)
    : PanelPeer(toolkit, group), group_(group) {
    rebuildButtons();
}

void RadioGroupPeer::rebuildButtons() {
    buttons_.clear();
    HFONT font = this->font();
    for (std::size_t i = 0; i < group_.items().size(); ++i) {
        OwnedWindow button(CreateWindowExW(0, WC_BUTTONW, group_.items()[i].c_str(),
                                           WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON | (i == 0 ? WS_GROUP : 0), 0, 0,
                                           10, 10, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)),
                                           toolkit().instance(), nullptr));
        SendMessageW(button.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        EnableWindow(button.get(), group_.usable());
        // Windows' own switch for the click a radio button reports when it
        // gets the focus unchecked; the subclass below catches it all the same.
        SendMessageW(button.get(), BM_SETDONTCLICK, TRUE, 0);
        SetWindowSubclass(button.get(), &RadioGroupPeer::ButtonProc, kButtonSubclass, reinterpret_cast<DWORD_PTR>(this));
        buttons_.push_back(std::move(button));
    }
    layoutButtons();
    showChoice();
}

void RadioGroupPeer::layoutButtons() {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const ui::Rect r = ui::ScaleToDpi(group_.itemBounds(static_cast<int>(i)), dpi());
        MoveWindow(buttons_[i].get(), r.left, r.top, r.width, r.height, TRUE);
    }
}

void RadioGroupPeer::showChoice() {
    // One tab stop for the whole group: the chosen item, or the first one
    // while nothing is chosen. The arrow keys move within the group.
    const int stop = group_.itemIndex() >= 0 ? group_.itemIndex() : 0;
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const int index = static_cast<int>(i);
        HWND button = buttons_[i].get();
        SendMessageW(button, BM_SETCHECK, index == group_.itemIndex() ? BST_CHECKED : BST_UNCHECKED, 0);
        const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
        SetWindowLongPtrW(button, GWL_STYLE, index == stop ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
}

bool RadioGroupPeer::moveChoice(HWND focused, int step) {
    const auto it = std::ranges::find(buttons_, focused, &OwnedWindow::get);
    if (it == buttons_.end() || buttons_.empty()) return false;
    const int count = static_cast<int>(buttons_.size());
    const int next = (static_cast<int>(it - buttons_.begin()) + step + count) % count;
    SetFocus(buttons_[static_cast<std::size_t>(next)].get());
    dispatch([&] { group_.choose(next); });
    showChoice();
    return true;
}

LRESULT CALLBACK RadioGroupPeer::ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR group) {
    auto* peer = reinterpret_cast<RadioGroupPeer*>(group);
    if (message == WM_SETFOCUS) {
        const HWND outer = std::exchange(peer->takingFocus_, button);
        const LRESULT result = DefSubclassProc(button, message, wParam, lParam);
        peer->takingFocus_ = outer;
        return result;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(button, &RadioGroupPeer::ButtonProc, kButtonSubclass);
    return DefSubclassProc(button, message, wParam, lParam);
}

RadioGroupPeer* RadioGroupPeer::OfButton(HWND button) {
    return dynamic_cast<RadioGroupPeer*>(FromHwnd(GetParent(button)));
}

LRESULT RadioGroupPeer::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && lParam != 0) {
        // Taking the focus is not a choice: only a click, Space or an arrow is.
        if (reinterpret_cast<HWND>(lParam) == takingFocus_) {
            showChoice();
            return 0;
        }
        const int index = static_cast<int>(LOWORD(wParam)) - 1;
        dispatch([&] { group_.choose(index); });
        showChoice();  // a click on the chosen item changes nothing
        return 0;
    }
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const ui::ShownColors colors = Win32Toolkit::ColorsOf(group_);
        SetTextColor(dc, GdiResources::Resolve(colors.text));
        SetBkColor(dc, GdiResources::Resolve(colors.background));
        return reinterpret_cast<LRESULT>(toolkit().gdi().brush(colors.background));
    }
    return PanelPeer::handle(message, wParam, lParam);
}

void RadioGroupPeer::applyOwn(ui::Property what) {
    switch (what) {
        case ui::Property::Items: rebuildButtons(); break;
        case ui::Property::ItemIndex: showChoice(); break;
        case ui::Property::Bounds: layoutButtons(); break;
        case ui::Property::Dpi:
            layoutButtons();
            for (const OwnedWindow& button : buttons_)
                SendMessageW(button.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font()), TRUE);
            break;
        case ui::Property::Enabled:
            for (const OwnedWindow& button : buttons_) EnableWindow(button.get(), group_.usable());
            break;
        case ui::Property::Font:
            for (const OwnedWindow& button : buttons_)
                SendMessageW(button.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font()), TRUE);
            break;
        default: break;
    }
    PanelPeer::applyOwn(what);
}

}  // namespace kanvel::platform::win32
