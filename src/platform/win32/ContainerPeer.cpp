#include "platform/win32/ContainerPeer.h"

#include <windowsx.h>

#include <utility>

#include "platform/win32/GdiScopes.h"
#include "platform/win32/GraphicPeer.h"
#include "platform/win32/HighContrast.h"
#include "platform/win32/LabelPeer.h"
#include "platform/win32/ResourceHolders.h"
#include "platform/win32/WindowDpi.h"
#include "ui/DpiScale.h"
#include "ui/PressTarget.h"
#include "ui/Form.h"
#include "ui/Image.h"

namespace kanvel::platform::win32 {

namespace {
// Tells every peer below the control that the DPI changed.
void RescaleChildren(ui::Control& control) {
    for (ui::Control* child : control.children()) {
        if (ui::Peer* peer = child->peer()) peer->PropertyChanged(ui::Property::Dpi);
        RescaleChildren(*child);
    }
}

// Plain labels have windows that let the mouse through to us (a drag on the
// status line drags the window); pictures have no window at all.
bool IsMouseTransparent(const ui::Control& c) {
    if (auto* label = dynamic_cast<const LabelPeer*>(c.peer())) return !label->isLink();
    return dynamic_cast<const GraphicPeer*>(c.peer()) != nullptr;
}

void DrawPicture(GdiResources& gdi, HDC dc, const ui::Image& image, int dpi) {
    HBITMAP bitmap = image.picture().empty() ? nullptr : gdi.bitmap(image.picture());
    if (bitmap == nullptr) return;
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    MemoryDC source(CreateCompatibleDC(dc));
    {
        SelectedObject selected(source.get(), bitmap);
        // At 96 DPI a picture is copied pixel for pixel; at other densities
        // it is resampled with the halftone filter, which averages rather
        // than drops pixels.
        const ui::Rect place = ui::ScaleToDpi(image.bounds(), dpi);
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        if (image.stretch())
            StretchBlt(dc, place.left, place.top, place.width, place.height, source.get(), 0, 0, info.bmWidth,
                       info.bmHeight, SRCCOPY);
        else if (dpi == ui::kDesignDpi)
            BitBlt(dc, place.left, place.top, place.width, place.height, source.get(), 0, 0, SRCCOPY);
        else
            StretchBlt(dc, place.left, place.top, ui::ScaleToDpi(info.bmWidth, dpi), ui::ScaleToDpi(info.bmHeight, dpi),
                       source.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    }
}
}  // namespace

ContainerPeer::ContainerPeer(Win32Toolkit& toolkit, ui::Control& control) : WindowPeer(toolkit, control) {
    const DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (control.visible() ? WS_VISIBLE : 0);
    create(Win32Toolkit::ContainerClass(), style, WS_EX_CONTROLPARENT, ParentWindowOf(control));
}

ContainerPeer::ContainerPeer(Win32Toolkit& toolkit, ui::Control& control, OwnWindow) : WindowPeer(toolkit, control) {}

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
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (WindowPeer* child = FromHwnd(item.hwndItem)) {
                child->OnDrawItem(item);
                return TRUE;
            }
            break;
        }
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
            if (setCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
            break;
        default: break;
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

void ContainerPeer::paint() {
    PaintScope screen(hwnd());
    RECT client;
    GetClientRect(hwnd(), &client);
    // Only the part that needs it, so that a changed control does not
    // redraw the whole window; in memory first, so that nothing flickers.
    const RECT& part = screen.part();
    MemoryCanvas canvas(screen.dc(), part.right - part.left, part.bottom - part.top);
    {
        ShiftedOrigin origin(canvas.dc(), -part.left, -part.top);
        paintFace(canvas.dc(), client);
    }
    canvas.copyTo(screen.dc(), part.left, part.top);
}

void ContainerPeer::paintFace(HDC dc, const RECT& client) {
    FillRect(dc, &client, toolkit().gdi().brush(Win32Toolkit::ColorsOf(control()).background));
    paintFrame(dc, client);
    paintPictures(dc);
}

void ContainerPeer::paintPictures(HDC dc) {
    const int offset = ui::ScaleToDpi(pictureInset(), dpi());
    ShiftedOrigin origin(dc, offset, offset);
    for (ui::Control* child : control().children()) {
        if (!child->visible()) continue;
        if (auto* image = dynamic_cast<ui::Image*>(child)) DrawPicture(toolkit().gdi(), dc, *image, dpi());
    }
}

ui::Control* ContainerPeer::graphicChildAt(POINT p) const {
    const auto& children = control().children();
    // The last one drawn is on top.
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        ui::Control* c = *it;
        if (!c->visible() || !IsMouseTransparent(*c)) continue;
        const RECT r = PlaceOf(*c);
        if (PtInRect(&r, p)) return c;
    }
    return nullptr;
}

bool ContainerPeer::mouseDown(ui::MouseButton button, LPARAM lParam) {
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const ui::PressTarget target = ui::TargetOfPress(control(), graphicChildAt(p), button);
    switch (target.action) {
        case ui::PressTarget::Action::MouseDown:
            dispatch([&] { target.control->mouseDown(button, {p.x, p.y}); });
            return true;
        case ui::PressTarget::Action::Click: dispatch([&] { target.control->click(); }); return true;
        case ui::PressTarget::Action::None: return target.control != &control();
    }
    return false;
}

bool ContainerPeer::setCursor(HWND under) {
    ui::Control* target = nullptr;
    if (under != hwnd()) {
        if (WindowPeer* child = FromHwnd(under)) target = &child->control();
    } else {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(hwnd(), &p);
        target = graphicChildAt(p);
    }
    if (target == nullptr || target->cursor() != ui::CursorShape::HandPoint) return false;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

void ContainerPeer::applyOwn(ui::Property what) {
    if (what == ui::Property::Caption || what == ui::Property::Bevel) InvalidateRect(hwnd(), nullptr, TRUE);
}

FormPeer::FormPeer(Win32Toolkit& toolkit, ui::Form& form) : ContainerPeer(toolkit, form, OwnWindow{}), form_(form) {
    form.setDpi(SystemDpi());
    placeOnScreen();
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    HWND owner = toolkit.mainWindow();
    if (owner == nullptr) exStyle |= WS_EX_APPWINDOW;
    create(Win32Toolkit::ContainerClass(), style, exStyle, owner);
    toolkit.setMainWindow(hwnd());
    // Per monitor, the window's own screen may differ from the system's.
    if (const int dpi = DpiOfWindow(hwnd()); dpi != form.dpi()) {
        form.setDpi(dpi);
        placeOnScreen();
        const RECT r = PlaceOf(form);
        MoveWindow(hwnd(), r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    }
    applyRegion();
    if (form.visible()) ShowWindow(hwnd(), SW_SHOW);
}

void FormPeer::placeOnScreen() {
    if (form_.position() != ui::FormPosition::ScreenCenter) return;
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int left = work.left + (work.right - work.left - form_.scaled(form_.width())) / 2;
    const int top = work.top + (work.bottom - work.top - form_.scaled(form_.height())) / 2;
    form_.boundsChangedByPeer({left, top, form_.width(), form_.height()});
}

void FormPeer::applyRegion() {
    const ui::Form::ScreenRegion region = form_.screenRegion();
    if (region.ellipseWidth <= 0) {
        SetWindowRgn(hwnd(), nullptr, TRUE);
        return;
    }
    GdiObject<HRGN> shape(
        CreateRoundRectRgn(0, 0, region.width, region.height, region.ellipseWidth, region.ellipseHeight));
    // Once set, the region belongs to the window.
    if (SetWindowRgn(hwnd(), shape.get(), TRUE) != 0) static_cast<void>(shape.release());
}

namespace {
constexpr int kMostTabStops = 256;

// A radio button that is not chosen. Windows' radio button takes the focus
// as a click (it reports one to its parent, and an automatic one checks
// itself), so a rule of ours never gives it the focus: only the user does.
bool IsUnchosenRadio(HWND control) {
    return (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0 &&
           SendMessageW(control, BM_GETCHECK, 0, 0) == BST_UNCHECKED;
}
}  // namespace

bool FormPeer::canTakeFocus(HWND control) const {
    return control != nullptr && IsWindow(control) && IsChild(hwnd(), control) && IsWindowVisible(control) &&
           IsWindowEnabled(control) && !IsUnchosenRadio(control);
}

bool FormPeer::returnsFocusTo(HWND control) const {
    return focusToReturn_ != nullptr && (focusToReturn_ == control || IsChild(control, focusToReturn_));
}

void FormPeer::usableAgain(HWND control) {
    if (!returnsFocusTo(control)) return;
    const HWND focus = std::exchange(focusToReturn_, nullptr);
    const bool held = std::exchange(holdingFocus_, false);
    if (canTakeFocus(focus)) {
        SetFocus(focus);
    } else if (held) {
        PostMessageW(hwnd(), kRefocusMessage, 0, 0);
    }
}

void FormPeer::holdFocusWhileLocked(HWND focused) {
    focusToReturn_ = focused;
    holdingFocus_ = true;
    SetFocus(hwnd());
}

void FormPeer::lockLifted(HWND control) {
    if (!holdingFocus_ || !returnsFocusTo(control)) return;
    focusToReturn_ = nullptr;
    holdingFocus_ = false;
    PostMessageW(hwnd(), kRefocusMessage, 0, 0);
}

void FormPeer::focusControl(HWND preferred) {
    HWND target = preferred;
    // The first control of the tab order that may take it (at most one round).
    for (int step = 0; !canTakeFocus(target); ++step) {
        target = GetNextDlgTabItem(hwnd(), target != nullptr && IsChild(hwnd(), target) ? target : nullptr, FALSE);
        if (target == nullptr || step == kMostTabStops) return;
    }
    SetFocus(target);
}

void FormPeer::focusActiveControl() {
    if (ui::Control* active = form_.activeControl())
        if (auto* peer = dynamic_cast<WindowPeer*>(active->peer())) SetFocus(peer->hwnd());
}

void FormPeer::storePlace() {
    // Only the place on the screen: the size stays the designed one.
    RECT r;
    GetWindowRect(hwnd(), &r);
    form_.boundsChangedByPeer({r.left, r.top, form_.width(), form_.height()});
}

LRESULT FormPeer::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOVE: storePlace(); return 0;
        case WM_DPICHANGED: {
            const auto& suggested = *reinterpret_cast<const RECT*>(lParam);
            form_.setDpi(HIWORD(wParam));
            SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                         suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_CLOSE: dispatch([&] { form_.close(); }); return 0;
        // A contrast theme switched on or off, or other system colours:
        // everything is drawn again in the colours of now.
        case WM_SYSCOLORCHANGE: RepaintForNewColors(hwnd()); return 0;
        case WM_SETTINGCHANGE:
            if (ChangesContrast(wParam, lParam)) RepaintForNewColors(hwnd());
            break;
        case kRefocusMessage: {
            if (holdingFocus_) return 0;
            HWND focus = GetFocus();
            if (focus == nullptr || focus == hwnd() || !IsWindowVisible(focus)) focusControl(nullptr);
            return 0;
        }
        case WM_ACTIVATE:
            // Leaving the window (for a notice, another program): remember
            // which control had the focus, to give it back on return.
            if (LOWORD(wParam) == WA_INACTIVE)
                if (HWND focus = GetFocus(); focus != nullptr && IsChild(hwnd(), focus)) lastFocus_ = focus;
            break;
        case WM_SETFOCUS:
            // The window itself keeps the focus only while it holds it for a
            // locked control; otherwise one of its controls takes it.
            if (!holdingFocus_) focusControl(lastFocus_);
            return 0;
        case WM_KILLFOCUS:
            // The user gave the focus to a control himself (Tab, a click).
            if (IsChild(hwnd(), reinterpret_cast<HWND>(wParam))) holdingFocus_ = false;
            break;
        default: break;
    }
    return ContainerPeer::handle(message, wParam, lParam);
}

void FormPeer::paintFrame(HDC dc, const RECT& client) {
    if (form_.frameWidth() <= 0) return;
    RECT r = client;
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
}

int FormPeer::pictureInset() const { return form_.frameWidth(); }

void FormPeer::applyOwn(ui::Property what) {
    switch (what) {
        case ui::Property::Region: applyRegion(); break;
        case ui::Property::Bounds: applyRegion(); break;
        case ui::Property::Dpi:
            RescaleChildren(form_);
            applyRegion();
            InvalidateRect(hwnd(), nullptr, TRUE);
            break;
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
