#include "platform/win32/LabelPeer.h"

#include <commctrl.h>

#include "platform/win32/ContainerPeer.h"
#include "platform/win32/GdiScopes.h"

namespace kanvel::platform::win32 {

namespace {
UINT TextFormat(const ui::Label& label) {
    UINT format = DT_NOPREFIX | (label.wordWrap() ? DT_WORDBREAK : DT_SINGLELINE);
    if (label.alignment() == ui::TextAlignment::Center) format |= DT_CENTER;
    if (label.alignment() == ui::TextAlignment::Right) format |= DT_RIGHT;
    return format;
}
}  // namespace

LabelPeer::LabelPeer(Win32Toolkit& toolkit, ui::Label& label) : LabelPeer(toolkit, label, false) {}

LabelPeer::LabelPeer(Win32Toolkit& toolkit, ui::LinkLabel& link) : LabelPeer(toolkit, link, true) {}

LabelPeer::LabelPeer(Win32Toolkit& toolkit, ui::Label& label, bool link)
    : WindowPeer(toolkit, label), label_(label), link_(link) {
    const DWORD shown = WS_CHILD | (label.visible() ? WS_VISIBLE : 0);
    if (link_)
        create(WC_BUTTONW, shown | WS_TABSTOP | BS_OWNERDRAW, 0, ParentWindowOf(label));
    else
        create(WC_STATICW, shown | SS_OWNERDRAW, 0, ParentWindowOf(label));
}

void LabelPeer::OnCommand(WORD code) {
    if (link_ && code == BN_CLICKED) label_.click();
}

void LabelPeer::paintParentFace(HDC dc) const {
    HWND parent = GetParent(hwnd());
    auto* container = dynamic_cast<ContainerPeer*>(FromHwnd(parent));
    if (container == nullptr) return;
    POINT at{0, 0};
    MapWindowPoints(hwnd(), parent, &at, 1);
    RECT parentClient;
    GetClientRect(parent, &parentClient);
    ShiftedOrigin origin(dc, -at.x, -at.y);
    container->paintFace(dc, parentClient);
}

void LabelPeer::OnDrawItem(const DRAWITEMSTRUCT& item) {
    RECT client;
    GetClientRect(hwnd(), &client);
    MemoryCanvas canvas(item.hDC, client.right, client.bottom);
    HDC dc = canvas.dc();
    paintParentFace(dc);
    const ui::ShownColors colors = Win32Toolkit::ColorsOf(label_);
    if (!label_.transparent()) FillRect(dc, &client, toolkit().gdi().brush(colors.background));
    {
        SelectedObject selected(dc, font());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GdiResources::Resolve(colors.text));
        RECT text = client;
        DrawTextW(dc, label_.caption().c_str(), -1, &text, TextFormat(label_));
    }
    if (link_ && (item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0)
        DrawFocusRect(dc, &client);
    canvas.copyTo(item.hDC);
}

void LabelPeer::applyOwn(ui::Property what) {
    switch (what) {
        case ui::Property::Caption:
            InvalidateRect(hwnd(), nullptr, FALSE);
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd(), OBJID_CLIENT, CHILDID_SELF);
            break;
        case ui::Property::Font:
        case ui::Property::Color:
        case ui::Property::Alignment:
        case ui::Property::WordWrap:
        case ui::Property::Transparent:
        case ui::Property::Dpi: InvalidateRect(hwnd(), nullptr, FALSE); break;
        default: break;
    }
}

}  // namespace kanvel::platform::win32
