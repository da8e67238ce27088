#include "WindowsRadioButton.h"

#include <windows.h>
#include <commctrl.h>

namespace kanvel::tests {

namespace {
WNDPROC g_buttonProc = nullptr;

bool IsRadio(HWND button) {
    const LONG type = GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

LRESULT CALLBACK ButtonWithFocusClick(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_SETFOCUS || !IsRadio(button)) return CallWindowProcW(g_buttonProc, button, message, wParam, lParam);
    const LRESULT result = CallWindowProcW(g_buttonProc, button, message, wParam, lParam);
    const LRESULT state = SendMessageW(button, BM_GETSTATE, 0, 0);
    if ((state & (BST_CHECKED | BST_PUSHED)) == 0) {
        if ((GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
            SendMessageW(button, BM_SETCHECK, BST_CHECKED, 0);
        SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    }
    return result;
}
}  // namespace

void ReproduceWindowsRadioFocusClick() {
    // The class procedure sits under every subclass the program adds later,
    // where Windows' own button code sits.
    HWND sample = CreateWindowExW(0, WC_BUTTONW, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    g_buttonProc = reinterpret_cast<WNDPROC>(
        SetClassLongPtrW(sample, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ButtonWithFocusClick)));
    DestroyWindow(sample);
}

}  // namespace kanvel::tests
