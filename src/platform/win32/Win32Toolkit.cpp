#include "platform/win32/Win32Toolkit.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "platform/win32/ContainerPeer.h"
#include "platform/win32/GdiScopes.h"
#include "platform/win32/HighContrast.h"
#include "platform/win32/LabelPeer.h"
#include "platform/win32/PeerTable.h"
#include "platform/win32/RadioGroupPeer.h"
#include "platform/win32/TimerPeer.h"
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/FileDialog.h"
#include "ui/Form.h"

namespace kanvel::platform::win32 {

namespace {
constexpr wchar_t kContainerClass[] = L"KanvelContainer";
constexpr std::size_t kFileNameBuffer = 4096;
constexpr int kMostTabStops = 256;

// "desc|pattern|desc|pattern" -> "desc\0pattern\0desc\0pattern\0\0"
std::wstring NativeFilter(const std::wstring& filter) {
    if (filter.empty()) return std::wstring();
    std::wstring native = filter;
    std::replace(native.begin(), native.end(), L'|', L'\0');
    native.push_back(L'\0');
    native.push_back(L'\0');
    return native;
}

// The default extension without its "*." (Windows wants "exe", not "*.exe").
std::wstring NativeDefaultExt(std::wstring ext) {
    if (ext.rfind(L"*.", 0) == 0) ext.erase(0, 2);
    if (!ext.empty() && ext.front() == L'.') ext.erase(0, 1);
    return ext;
}

// +1 for the arrows that lead forward, -1 for those that lead back, else 0.
int ArrowStep(WPARAM key) {
    if (key == VK_DOWN || key == VK_RIGHT) return 1;
    if (key == VK_UP || key == VK_LEFT) return -1;
    return 0;
}

// True when another window of the same top-level window lies over the
// middle of the control, so that the user cannot see it (the controls of the
// install panel under the finished panel).
bool IsCovered(HWND root, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    POINT point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    HWND at = root;
    for (;;) {
        POINT inside = point;
        ScreenToClient(at, &inside);
        HWND child = ChildWindowFromPointEx(at, inside, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (child == nullptr || child == at) break;
        at = child;
    }
    return at != control && IsChild(control, at) == FALSE;
}

ui::Button* FindButton(ui::Control& root, bool wantDefault) {
    for (ui::Control* child : root.children()) {
        if (auto* button = dynamic_cast<ui::Button*>(child)) {
            const bool matches = wantDefault ? button->isDefault() : button->isCancel();
            if (matches && button->showing() && button->usable()) return button;
        }
        if (ui::Button* found = FindButton(*child, wantDefault)) return found;
    }
    return nullptr;
}
}  // namespace

ui::ShownColors Win32Toolkit::ColorsOf(const ui::Control& control) {
    return ui::ColorsShown(control, HighContrastOn());
}

Win32Toolkit::Win32Toolkit(HINSTANCE instance) : instance_(instance) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &ContainerPeer::WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(instance_, L"MAINICON");
    windowClass.lpszClassName = kContainerClass;
    RegisterClassExW(&windowClass);
}

const wchar_t* Win32Toolkit::ContainerClass() { return kContainerClass; }

HWND Win32Toolkit::tooltipFor(HWND topLevel) {
    for (auto& [owner, tooltip] : tooltips_)
        if (owner == topLevel) return tooltip.get();
    OwnedWindow tooltip(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, topLevel, nullptr, instance_, nullptr));
    SendMessageW(tooltip.get(), TTM_SETMAXTIPWIDTH, 0, 400);
    return tooltips_.emplace_back(topLevel, std::move(tooltip)).second.get();
}

void Win32Toolkit::handleError(std::exception_ptr error) {
    if (application_ != nullptr) application_->handleException(error);
}

std::unique_ptr<ui::Peer> Win32Toolkit::CreatePeer(ui::Control& control) {
    // Forms are the one open-ended kind: each form of the program is its own subclass.
    if (auto* form = dynamic_cast<ui::Form*>(&control)) return std::make_unique<FormPeer>(*this, *form);
    return PeerForKind(*this, control);
}

std::unique_ptr<ui::Peer> Win32Toolkit::CreateTimerPeer(ui::Timer& timer) {
    return std::make_unique<TimerPeer>(*this, timer);
}

bool Win32Toolkit::translateKeys(MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_CHAR) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    auto* rootPeer = WindowPeer::FromHwnd(root);
    if (rootPeer == nullptr) return false;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0)
        if (moveFocus(root, GetKeyState(VK_SHIFT) < 0)) return true;
    if (msg.message == WM_KEYDOWN && ArrowStep(msg.wParam) != 0) {
        if (RadioGroupPeer* group = RadioGroupPeer::OfButton(GetFocus()))
            if (group->moveChoice(GetFocus(), ArrowStep(msg.wParam))) return true;
    }
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
        ui::Button* target = nullptr;
        if (msg.wParam == VK_RETURN) {
            auto* focused = WindowPeer::FromHwnd(GetFocus());
            if (auto* link = dynamic_cast<LabelPeer*>(focused); link != nullptr && link->isLink()) {
                ui::Control& label = link->control();
                guarded([&label] { label.click(); });
                return true;
            }
            if (focused != nullptr) target = dynamic_cast<ui::Button*>(&focused->control());
            if (target == nullptr) target = FindButton(rootPeer->control(), true);
        } else {
            target = FindButton(rootPeer->control(), false);
        }
        if (target != nullptr) {
            guarded([target] { target->click(); });
            return true;
        }
    }
    return IsDialogMessageW(root, &msg) != 0;
}

bool Win32Toolkit::moveFocus(HWND root, bool backward) {
    HWND start = GetFocus();
    if (start == nullptr || (start != root && IsChild(root, start) == FALSE)) return false;
    HWND candidate = start;
    // Every control of the window at most once round.
    for (int step = 0; step < kMostTabStops; ++step) {
        candidate = GetNextDlgTabItem(root, candidate == root ? nullptr : candidate, backward);
        if (candidate == nullptr || candidate == start) return false;
        if (!IsCovered(root, candidate)) {
            SendMessageW(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
            SetFocus(candidate);
            return true;
        }
    }
    return false;
}

void Win32Toolkit::dispatchMessage(MSG& msg) {
    if (translateKeys(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void Win32Toolkit::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        dispatchMessage(msg);
    }
}

bool Win32Toolkit::IsApplicationActive() {
    HWND foreground = GetForegroundWindow();
    if (foreground == nullptr) return false;
    DWORD process = 0;
    GetWindowThreadProcessId(foreground, &process);
    return process == GetCurrentProcessId();
}

void Win32Toolkit::RunMessageLoop(ui::Form& mainForm) {
    MSG msg;
    while (!mainForm.closed() && GetMessageW(&msg, nullptr, 0, 0) > 0) dispatchMessage(msg);
}

void Win32Toolkit::RunModal(ui::Form& form) {
    auto* peer = dynamic_cast<WindowPeer*>(form.peer());
    HWND owner = mainWindow_ != nullptr && (peer == nullptr || peer->hwnd() != mainWindow_) ? mainWindow_ : nullptr;
    if (owner != nullptr) EnableWindow(owner, FALSE);
    MSG msg;
    while (!form.closed()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        dispatchMessage(msg);
    }
    if (owner != nullptr) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
}

bool Win32Toolkit::Execute(ui::FileDialog& dialog) {
    std::vector<wchar_t> file(kFileNameBuffer, L'\0');
    dialog.fileName.copy(file.data(), std::min(dialog.fileName.size(), kFileNameBuffer - 1));
    const std::wstring filter = NativeFilter(dialog.filter);
    const std::wstring defaultExt = NativeDefaultExt(dialog.defaultExt);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = mainWindow_;
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = dialog.initialDir.empty() ? nullptr : dialog.initialDir.c_str();
    ofn.lpstrTitle = dialog.title.empty() ? nullptr : dialog.title.c_str();
    ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING;
    const BOOL confirmed =
        dialog.kind == ui::FileDialog::Kind::Open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
    if (!confirmed) return false;
    dialog.fileName = file.data();
    return true;
}

void Win32Toolkit::BeginWindowDrag(ui::Form& form) {
    auto* peer = dynamic_cast<WindowPeer*>(form.peer());
    if (peer == nullptr) return;
    ReleaseCapture();
    SendMessageW(peer->hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void Win32Toolkit::ShowErrorBox(const std::wstring& text, const std::wstring& title) {
    MessageBoxW(mainWindow_, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

int Win32Toolkit::WrappedTextHeight(const std::wstring& text, const ui::Font& font, int width, int dpi) {
    if (text.empty()) return 0;
    WindowDC screen(nullptr);
    SelectedObject selected(screen.get(), gdi_.font(font, dpi));
    RECT r{0, 0, ui::ScaleToDpi(width, dpi), 0};
    DrawTextW(screen.get(), text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
    return ui::DesignLengthCovering(r.bottom - r.top, dpi);
}

}  // namespace kanvel::platform::win32
