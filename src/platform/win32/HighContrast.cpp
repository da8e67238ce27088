#include "platform/win32/HighContrast.h"

#include <cwchar>

namespace kanvel::platform::win32 {

namespace {
// The area Windows names in WM_SETTINGCHANGE when the user picks another theme.
constexpr const wchar_t* kThemeArea = L"WindowsThemeElement";

BOOL CALLBACK ForwardColorChange(HWND child, LPARAM) {
    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}
}  // namespace

bool HighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    if (!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0)) return false;
    return (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

bool ChangesContrast(WPARAM setting, LPARAM area) {
    if (setting == SPI_SETHIGHCONTRAST) return true;
    const auto* name = reinterpret_cast<const wchar_t*>(area);
    return name != nullptr && std::wcscmp(name, kThemeArea) == 0;
}

void RepaintForNewColors(HWND topLevel) {
    // Only top-level windows hear of the change; their common controls
    // (the progress bar) learn it from them.
    EnumChildWindows(topLevel, ForwardColorChange, 0);
    RedrawWindow(topLevel, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace kanvel::platform::win32
