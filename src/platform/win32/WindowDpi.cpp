#include "platform/win32/WindowDpi.h"

#include "platform/win32/GdiScopes.h"
#include "ui/DpiScale.h"

namespace kanvel::platform::win32 {

namespace {
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

GetDpiForWindowFunction PerMonitorQuery() {
    static const auto query = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return query;
}
}  // namespace

int SystemDpi() {
    WindowDC screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : ui::kDesignDpi;
}

int DpiOfWindow(HWND hwnd) {
    if (GetDpiForWindowFunction query = PerMonitorQuery(); query != nullptr && hwnd != nullptr) {
        const int dpi = static_cast<int>(query(hwnd));
        if (dpi > 0) return dpi;
    }
    return SystemDpi();
}

}  // namespace kanvel::platform::win32
