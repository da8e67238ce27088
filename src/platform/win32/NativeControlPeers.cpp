#include "platform/win32/NativeControlPeers.h"

#include <commctrl.h>

#include "ui/Label.h"

namespace kanvel::platform::win32 {

namespace {
DWORD ChildStyle(const ui::Control& c) { return WS_CHILD | WS_TABSTOP | (c.visible() ? WS_VISIBLE : 0); }

std::wstring ReadText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}
}  // namespace

ButtonPeer::ButtonPeer(Win32Toolkit& toolkit, ui::Button& button) : WindowPeer(toolkit, button), button_(button) {
    const DWORD kind = button.isDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    create(WC_BUTTONW, ChildStyle(button) | kind, 0, ParentWindowOf(button));
    applyOwn(ui::Property::Glyph);
}

void ButtonPeer::OnCommand(WORD code) {
    if (code == BN_CLICKED) button_.click();
}

void ButtonPeer::applyOwn(ui::Property what) {
    switch (what) {
        case ui::Property::Glyph:
            if (!button_.glyph().empty())
                SendMessageW(hwnd(), BM_SETIMAGE, IMAGE_BITMAP,
                             reinterpret_cast<LPARAM>(toolkit().gdi().bitmap(button_.glyph())));
            break;
        case ui::Property::Caption:
            SendMessageW(hwnd(), BM_SETSTYLE, button_.isDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
            break;
        case ui::Property::Down:
            if (auto* speed = dynamic_cast<ui::SpeedButton*>(&button_))
                SendMessageW(hwnd(), BM_SETSTATE, speed->down(), 0);
            break;
        default: break;
    }
}

CheckBoxPeer::CheckBoxPeer(Win32Toolkit& toolkit, ui::CheckBox& box) : WindowPeer(toolkit, box), box_(box) {
    create(WC_BUTTONW, ChildStyle(box) | BS_CHECKBOX, 0, ParentWindowOf(box));
    applyOwn(ui::Property::Checked);
}

void CheckBoxPeer::OnCommand(WORD code) {
    if (code == BN_CLICKED) box_.click();
}

HBRUSH CheckBoxPeer::OnControlColor(HDC dc) {
    // Check boxes sit on their parent's background.
    const ui::Control* parent = box_.parent();
    const ui::Color background = parent != nullptr ? parent->color() : box_.color();
    SetTextColor(dc, GdiResources::Resolve(box_.font().color));
    SetBkColor(dc, GdiResources::Resolve(background));
    return toolkit().gdi().brush(background);
}

void CheckBoxPeer::applyOwn(ui::Property what) {
    if (what == ui::Property::Checked)
        SendMessageW(hwnd(), BM_SETCHECK, box_.checked() ? BST_CHECKED : BST_UNCHECKED, 0);
}

EditPeer::EditPeer(Win32Toolkit& toolkit, ui::Edit& edit) : WindowPeer(toolkit, edit), edit_(edit) {
    DWORD style = ChildStyle(edit) | ES_AUTOHSCROLL;
    if (edit.readOnly()) style |= ES_READONLY;
    if (edit.alignment() == ui::TextAlignment::Right) style |= ES_RIGHT;
    create(WC_EDITW, style, edit.flat() ? 0 : WS_EX_CLIENTEDGE, ParentWindowOf(edit));
    if (edit.flat()) SetWindowLongW(hwnd(), GWL_STYLE, GetWindowLongW(hwnd(), GWL_STYLE) | WS_BORDER);
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void EditPeer::OnCommand(WORD code) {
    if (code == EN_CHANGE) edit_.setText(ReadText(hwnd()));
}

ListBoxPeer::ListBoxPeer(Win32Toolkit& toolkit, ui::ListBox& list) : WindowPeer(toolkit, list), list_(list) {
    create(WC_LISTBOXW, ChildStyle(list) | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE,
           ParentWindowOf(list));
    syncItems();
}

void ListBoxPeer::OnCommand(WORD code) {
    if (code == LBN_SELCHANGE)
        list_.setItemIndex(static_cast<int>(SendMessageW(hwnd(), LB_GETCURSEL, 0, 0)));
}

void ListBoxPeer::syncItems() {
    const int native = static_cast<int>(SendMessageW(hwnd(), LB_GETCOUNT, 0, 0));
    const int wanted = list_.count();
    const int changed = list_.lastChanged();
    if (wanted == native + 1 && changed == wanted - 1) {
        SendMessageW(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(list_.items().back().c_str()));
    } else if (wanted == native && changed >= 0 && changed < wanted) {
        const auto& line = list_.items()[static_cast<std::size_t>(changed)];
        SendMessageW(hwnd(), LB_DELETESTRING, static_cast<WPARAM>(changed), 0);
        SendMessageW(hwnd(), LB_INSERTSTRING, static_cast<WPARAM>(changed), reinterpret_cast<LPARAM>(line.c_str()));
    } else {
        SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
        SendMessageW(hwnd(), LB_RESETCONTENT, 0, 0);
        for (const auto& line : list_.items())
            SendMessageW(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd(), nullptr, TRUE);
    }
}

void ListBoxPeer::applyOwn(ui::Property what) {
    switch (what) {
        case ui::Property::Items: syncItems(); break;
        case ui::Property::TopIndex: SendMessageW(hwnd(), LB_SETTOPINDEX, static_cast<WPARAM>(list_.topIndex()), 0); break;
        case ui::Property::Selection:
            SendMessageW(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(list_.itemIndex()), 0);
            break;
        default: break;
    }
}

StaticTextPeer::StaticTextPeer(Win32Toolkit& toolkit, ui::StaticText& text) : WindowPeer(toolkit, text) {
    create(WC_STATICW, WS_CHILD | (text.visible() ? WS_VISIBLE : 0) | SS_LEFT | SS_NOPREFIX, 0, ParentWindowOf(text));
}

ProgressBarPeer::ProgressBarPeer(Win32Toolkit& toolkit, ui::ProgressBar& bar) : WindowPeer(toolkit, bar), bar_(bar) {
    create(PROGRESS_CLASSW, WS_CHILD | (bar.visible() ? WS_VISIBLE : 0), 0, ParentWindowOf(bar));
    applyOwn(ui::Property::Max);
}

void ProgressBarPeer::applyOwn(ui::Property what) {
    if (what != ui::Property::Max && what != ui::Property::Position) return;
    SendMessageW(hwnd(), PBM_SETRANGE32, 0, bar_.max());
    SendMessageW(hwnd(), PBM_SETPOS, static_cast<WPARAM>(bar_.position()), 0);
}

}  // namespace kanvel::platform::win32
