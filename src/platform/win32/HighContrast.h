#pragma once

#include <windows.h>

namespace kanvel::platform::win32 {

// True while the user has a contrast theme on (the system's HCF_HIGHCONTRASTON).
bool HighContrastOn();

// True when a WM_SETTINGCHANGE says the contrast theme was switched or changed.
bool ChangesContrast(WPARAM setting, LPARAM area);

// Redraws a top-level window and everything in it in the colours of now,
// and tells its common controls that the system's colours changed.
void RepaintForNewColors(HWND topLevel);

}  // namespace kanvel::platform::win32
