#include "platform/win32/ContainerPeer.h"

#include <algorithm>

#include <windowsx.h>

#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Panel.h"

namespace kanvel::platform::win32 {

namespace {
bool IsGraphic(const ui::Control& c) { return dynamic_cast<const ui::Label*>(&c) || dynamic_cast<const ui::Image*>(&c); }

void DrawPicture(GdiResources& gdi, HDC dc, const ui::Image& image) {
    HBITMAP bitmap = image.picture().empty() ? nullptr : gdi.bitmap(image.picture());
    if (bitmap == nullptr) return;
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap);
    SetStretchBltMode(dc, HALFTONE);
    if (image.stretch())
        StretchBlt(dc, image.left(), image.top(), image.width(), image.height(), source, 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
    else
        BitBlt(dc, image.left(), image.top(), image.width(), image.height(), source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void DrawLabel(GdiResources& gdi, HDC dc, const ui::Label& label) {
    RECT r{label.left(), label.top(), label.left() + label.width(), label.top() + label.height()};
    if (!label.transparent()) FillRect(dc, &r, gdi.brush(label.color()));
    HGDIOBJ old = SelectObject(dc, gdi.font(label.font()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GdiResources::Resolve(label.font().color));
    UINT format = DT_NOPREFIX | (label.wordWrap() ? DT_WORDBREAK : DT_SINGLELINE);
    if (label.alignment() == ui::TextAlignment::Center) format |= DT_CENTER;
    if (label.alignment() == ui::TextAlignment::Right) format |= DT_RIGHT;
    DrawTextW(dc, label.caption().c_str(), -1, &r, format);
    SelectObject(dc, old);
}
}  // namespace

ContainerPeer::ContainerPeer(Win32Toolkit& toolkit, ui::Control& control) : WindowPeer(toolkit, control) {
    if (dynamic_cast<ui::Form*>(&control) != nullptr) return;  // the form peer makes its own window
    DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (control.visible() ? WS_VISIBLE : 0);
    create(Win32Toolkit::ContainerClass(), style, WS_EX_CONTROLPARENT, ParentWindowOf(control));
}

LRESULT CALLBACK ContainerPeer::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* peer = dynamic_cast<ContainerPeer*>(FromHwnd(hwnd));
    if (peer == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    // No error may unwind through the system's frames: whatever a handler
    // does not catch goes to the default handler here.
    LRESULT result = 0;
    peer->toolkit().guarded([&] { result = peer->handle(message, wParam, lParam); });
    return result;
}

LRESULT ContainerPeer::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: paint(); return 0;
        case WM_COMMAND:
            if (WindowPeer* child = FromHwnd(reinterpret_cast<HWND>(lParam))) {
                const WORD code = HIWORD(wParam);
                dispatch([&] { child->OnCommand(code); });
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            if (WindowPeer* child = FromHwnd(reinterpret_cast<HWND>(lParam)))
                return reinterpret_cast<LRESULT>(child->OnControlColor(reinterpret_cast<HDC>(wParam)));
            break;
        case WM_LBUTTONDOWN:
            if (mouseDown(ui::MouseButton::Left, lParam)) return 0;
            break;
        case WM_RBUTTONDOWN:
            if (mouseDown(ui::MouseButton::Right, lParam)) return 0;
            break;
        case WM_SETCURSOR:
            if (setCursor()) return TRUE;
            break;
        default: break;
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

void ContainerPeer::paint() {
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(hwnd(), &ps);
    RECT client;
    GetClientRect(hwnd(), &client);
    // Paint into memory first, so that nothing flickers; only the part that
    // needs it, so that a changed status line does not redraw the window.
    const RECT& part = ps.rcPaint;
    const int width = part.right - part.left, height = part.bottom - part.top;
    HDC dc = CreateCompatibleDC(screen);
    // A plain 32-bit bitmap in memory: one compatible with the screen costs
    // a look at the display's settings each time it is made.
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = std::max(width, 1);
    format.bmiHeader.biHeight = -std::max(height, 1);
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP buffer = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, buffer);
    SetWindowOrgEx(dc, part.left, part.top, nullptr);
    FillRect(dc, &client, toolkit().gdi().brush(control().color()));
    paintFrame(dc, client);
    paintGraphicChildren(dc);
    BitBlt(screen, part.left, part.top, width, height, dc, part.left, part.top, SRCCOPY);
    SelectObject(dc, old);
    DeleteObject(buffer);
    DeleteDC(dc);
    EndPaint(hwnd(), &ps);
}

void ContainerPeer::paintFrame(HDC dc, const RECT& client) {
    if (auto* group = dynamic_cast<const ui::GroupBox*>(&control())) {
        HGDIOBJ old = SelectObject(dc, toolkit().gdi().font(group->font()));
        TEXTMETRICW metrics;
        GetTextMetricsW(dc, &metrics);
        RECT frame = client;
        frame.top = metrics.tmHeight / 2;
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        if (!group->caption().empty()) {
            SIZE size;
            GetTextExtentPoint32W(dc, group->caption().c_str(), static_cast<int>(group->caption().size()), &size);
            RECT text{8, 0, 8 + size.cx + 4, metrics.tmHeight};
            FillRect(dc, &text, toolkit().gdi().brush(group->color()));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GdiResources::Resolve(group->font().color));
            TextOutW(dc, 10, 0, group->caption().c_str(), static_cast<int>(group->caption().size()));
        }
        SelectObject(dc, old);
        return;
    }
    if (auto* panel = dynamic_cast<const ui::Panel*>(&control())) {
        RECT r = client;
        if (panel->outerBevel() != ui::Bevel::None) {
            DrawEdge(dc, &r, panel->outerBevel() == ui::Bevel::Raised ? BDR_RAISEDOUTER : BDR_SUNKENOUTER, BF_RECT);
            InflateRect(&r, -1, -1);
        }
        if (panel->innerBevel() != ui::Bevel::None)
            DrawEdge(dc, &r, panel->innerBevel() == ui::Bevel::Raised ? BDR_RAISEDINNER : BDR_SUNKENINNER, BF_RECT);
    }
}

void ContainerPeer::paintGraphicChildren(HDC dc) {
    const int offset = dynamic_cast<ui::Form*>(&control()) ? static_cast<ui::Form&>(control()).frameWidth() : 0;
    SetViewportOrgEx(dc, offset, offset, nullptr);
    RECT needed;  // what the memory bitmap covers, in the children's coordinates
    GetClipBox(dc, &needed);
    for (ui::Control* child : control().children()) {
        if (!child->visible()) continue;
        const RECT place{child->left(), child->top(), child->left() + child->width(), child->top() + child->height()};
        RECT overlap;
        if (!IntersectRect(&overlap, &place, &needed)) continue;
        if (auto* image = dynamic_cast<ui::Image*>(child)) DrawPicture(toolkit().gdi(), dc, *image);
        if (auto* label = dynamic_cast<ui::Label*>(child)) DrawLabel(toolkit().gdi(), dc, *label);
    }
    SetViewportOrgEx(dc, 0, 0, nullptr);
}

ui::Control* ContainerPeer::graphicChildAt(POINT p) const {
    const auto& children = control().children();
    // The last one drawn is on top.
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        ui::Control* c = *it;
        if (!c->visible() || !IsGraphic(*c)) continue;
        const RECT r = PlaceOf(*c);
        if (PtInRect(&r, p)) return c;
    }
    return nullptr;
}

bool ContainerPeer::mouseDown(ui::MouseButton button, LPARAM lParam) {
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ui::Control* target = graphicChildAt(p);
    if (target != nullptr && !target->OnMouseDown && target->OnClick) {
        if (button == ui::MouseButton::Left) dispatch([&] { target->click(); });
        return true;
    }
    if (target == nullptr || !target->OnMouseDown) target = &control();
    if (!target->OnMouseDown) return false;
    dispatch([&] { target->mouseDown(button, {p.x, p.y}); });
    return true;
}

bool ContainerPeer::setCursor() {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hwnd(), &p);
    ui::Control* target = graphicChildAt(p);
    if (target == nullptr || target->cursor() != ui::CursorShape::HandPoint) return false;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

void ContainerPeer::applyOwn(ui::Property what) {
    if (what == ui::Property::Caption) InvalidateRect(hwnd(), nullptr, TRUE);
}

FormPeer::FormPeer(Win32Toolkit& toolkit, ui::Form& form) : ContainerPeer(toolkit, form), form_(form) {
    placeOnScreen();
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    HWND owner = toolkit.mainWindow();
    if (owner == nullptr) exStyle |= WS_EX_APPWINDOW;
    create(Win32Toolkit::ContainerClass(), style, exStyle, owner);
    toolkit.setMainWindow(hwnd());
    applyRegion();
    if (form.visible()) ShowWindow(hwnd(), SW_SHOW);
}

void FormPeer::placeOnScreen() {
    if (form_.position() != ui::FormPosition::ScreenCenter) return;
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int left = work.left + (work.right - work.left - form_.width()) / 2;
    const int top = work.top + (work.bottom - work.top - form_.height()) / 2;
    form_.boundsChangedByPeer({left, top, form_.width(), form_.height()});
}

void FormPeer::applyRegion() {
    if (form_.regionEllipseWidth() <= 0) {
        SetWindowRgn(hwnd(), nullptr, TRUE);
        return;
    }
    HRGN region = CreateRoundRectRgn(0, 0, form_.width(), form_.height(), form_.regionEllipseWidth(),
                                     form_.regionEllipseHeight());
    SetWindowRgn(hwnd(), region, TRUE);  // the window owns the region from here on
}

void FormPeer::focusActiveControl() {
    if (ui::Control* active = form_.activeControl())
        if (auto* peer = dynamic_cast<WindowPeer*>(active->peer())) SetFocus(peer->hwnd());
}

void FormPeer::storePlace() {
    RECT r;
    GetWindowRect(hwnd(), &r);
    form_.boundsChangedByPeer({r.left, r.top, r.right - r.left, r.bottom - r.top});
}

LRESULT FormPeer::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOVE: storePlace(); return 0;
        case WM_CLOSE: dispatch([&] { form_.close(); }); return 0;
        default: break;
    }
    return ContainerPeer::handle(message, wParam, lParam);
}

void FormPeer::paintFrame(HDC dc, const RECT& client) {
    if (form_.frameWidth() <= 0) return;
    RECT r = client;
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
}

void FormPeer::applyOwn(ui::Property what) {
    switch (what) {
        case ui::Property::Region: applyRegion(); break;
        case ui::Property::Bounds: applyRegion(); break;
        case ui::Property::Visible:
            if (form_.visible()) {
                ShowWindow(hwnd(), SW_SHOW);
                SetForegroundWindow(hwnd());
                focusActiveControl();  // a control chosen while hidden gets the focus now
            }
            break;
        case ui::Property::Focus: focusActiveControl(); break;
        case ui::Property::Close:
            if (hwnd() == toolkit().mainWindow()) PostQuitMessage(0);
            break;
        default: break;
    }
}

}  // namespace kanvel::platform::win32
