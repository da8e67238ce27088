#include "platform/win32/NativeControlPeers.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vsstyle.h>

#include "platform/win32/GdiScopes.h"
#include "platform/win32/ResourceHolders.h"
#include "ui/DpiScale.h"

namespace kanvel::platform::win32 {

namespace {
// How far inside the button's edge its focus ring runs (designed length).
constexpr int kFocusInset = 3;

DWORD ChildStyle(const ui::Control& c) { return WS_CHILD | WS_TABSTOP | (c.visible() ? WS_VISIBLE : 0); }

std::wstring ReadText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}
}  // namespace

ButtonPeer::ButtonPeer(Win32Toolkit& toolkit, ui::Button& button) : ButtonPeer(toolkit, button, true) {}

ButtonPeer::ButtonPeer(Win32Toolkit& toolkit, ui::Button& button, bool mayOwnDraw)
    : WindowPeer(toolkit, button),
      button_(button),
      // A push button draws its text in the system's colour; one with a text
      // colour of its own (the navy install button) is drawn by us.
      ownDrawn_(mayOwnDraw && button.font().color != ui::colors::WindowText && button.glyph().empty()) {
    const DWORD kind = ownDrawn_ ? BS_OWNERDRAW : button.isDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    create(WC_BUTTONW, ChildStyle(button) | kind, 0, ParentWindowOf(button));
    applyOwn(ui::Property::Glyph);
}

void ButtonPeer::OnDrawItem(const DRAWITEMSTRUCT& item) {
    const RECT face = item.rcItem;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    MemoryCanvas canvas(item.hDC, face.right, face.bottom);
    HDC dc = canvas.dc();
    const ui::Control* parent = button_.parent();
    const ui::Control& surface = parent != nullptr ? *parent : button_;
    FillRect(dc, &face, toolkit().gdi().brush(Win32Toolkit::ColorsOf(surface).background));
    // The face of a push button in this state: the visual style's when one
    // is active, the classic raised or pushed frame otherwise.
    if (const ThemeHandle theme(OpenThemeData(hwnd(), L"BUTTON")); theme) {
        const int state = disabled ? PBS_DISABLED : pressed ? PBS_PRESSED : focused ? PBS_DEFAULTED : PBS_NORMAL;
        DrawThemeBackground(theme.get(), dc, BP_PUSHBUTTON, state, &face, nullptr);
    } else {
        RECT frame = face;
        DrawFrameControl(dc, &frame, DFC_BUTTON,
                         DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0) | (disabled ? DFCS_INACTIVE : 0));
    }
    {
        SelectedObject selected(dc, font());
        SetBkMode(dc, TRANSPARENT);
        const COLORREF caption = GdiResources::Resolve(Win32Toolkit::ColorsOf(button_).text);
        SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : caption);
        RECT text = face;
        if (pressed) OffsetRect(&text, 1, 1);
        const UINT prefix = (item.itemState & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0;
        DrawTextW(dc, button_.caption().c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | prefix);
    }
    if (focused && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        RECT ring = face;
        const int inset = ui::ScaleToDpi(kFocusInset, dpi());
        InflateRect(&ring, -inset, -inset);
        DrawFocusRect(dc, &ring);
    }
    canvas.copyTo(item.hDC);
}

void ButtonPeer::OnCommand(WORD code) {
    if (code == BN_CLICKED) button_.click();
}

void ButtonPeer::applyOwn(ui::Property what) {
    switch (what) {
        case ui::Property::Glyph:
        case ui::Property::Dpi:
            if (!button_.glyph().empty())
                SendMessageW(hwnd(), BM_SETIMAGE, IMAGE_BITMAP,
                             reinterpret_cast<LPARAM>(toolkit().gdi().bitmap(button_.glyph(), dpi())));
            break;
        case ui::Property::DefaultButton:
            if (ownDrawn_) break;  // the owner-drawn style has no default variant
            SendMessageW(hwnd(), BM_SETSTYLE, button_.isDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
            break;
        default: break;
    }
}

SpeedButtonPeer::SpeedButtonPeer(Win32Toolkit& toolkit, ui::SpeedButton& button)
    : ButtonPeer(toolkit, button, false), speedButton_(button) {}

void SpeedButtonPeer::applyOwn(ui::Property what) {
    if (what == ui::Property::Down) SendMessageW(hwnd(), BM_SETSTATE, speedButton_.down(), 0);
    ButtonPeer::applyOwn(what);
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
    const ui::Color background = Win32Toolkit::ColorsOf(parent != nullptr ? *parent : box_).background;
    SetTextColor(dc, GdiResources::Resolve(Win32Toolkit::ColorsOf(box_).text));
    SetBkColor(dc, GdiResources::Resolve(background));
    return toolkit().gdi().brush(background);
}

void CheckBoxPeer::applyOwn(ui::Property what) {
    if (what == ui::Property::Checked)
        SendMessageW(hwnd(), BM_SETCHECK, box_.checked() ? BST_CHECKED : BST_UNCHECKED, 0);
}

namespace {
DWORD AlignmentStyle(ui::TextAlignment alignment) {
    switch (alignment) {
        case ui::TextAlignment::Center: return ES_CENTER;
        case ui::TextAlignment::Right: return ES_RIGHT;
        case ui::TextAlignment::Left: break;
    }
    return ES_LEFT;
}

void ReplaceStyle(HWND hwnd, int which, LONG_PTR mask, LONG_PTR bits) {
    const LONG_PTR style = GetWindowLongPtrW(hwnd, which);
    SetWindowLongPtrW(hwnd, which, (style & ~mask) | bits);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    InvalidateRect(hwnd, nullptr, TRUE);
}
}  // namespace

EditPeer::EditPeer(Win32Toolkit& toolkit, ui::Edit& edit) : WindowPeer(toolkit, edit), edit_(edit) {
    DWORD style = ChildStyle(edit) | ES_AUTOHSCROLL | AlignmentStyle(edit.alignment());
    if (edit.readOnly()) style |= ES_READONLY;
    if (edit.password()) style |= ES_PASSWORD;
    create(WC_EDITW, style, 0, ParentWindowOf(edit));
    applyOwn(ui::Property::Flat);
}

void EditPeer::applyOwn(ui::Property what) {
    switch (what) {
        case ui::Property::ReadOnly: SendMessageW(hwnd(), EM_SETREADONLY, edit_.readOnly(), 0); break;
        case ui::Property::Alignment:
            ReplaceStyle(hwnd(), GWL_STYLE, ES_LEFT | ES_CENTER | ES_RIGHT, AlignmentStyle(edit_.alignment()));
            break;
        case ui::Property::Flat:
            // Flat: a thin line instead of the sunken edge.
            ReplaceStyle(hwnd(), GWL_EXSTYLE, WS_EX_CLIENTEDGE, edit_.flat() ? 0 : WS_EX_CLIENTEDGE);
            ReplaceStyle(hwnd(), GWL_STYLE, WS_BORDER, edit_.flat() ? WS_BORDER : 0);
            break;
        default: break;
    }
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
