#pragma once

#include <windows.h>

namespace kanvel::platform::win32 {

// The pixel density a window is shown at. Windows 10 and later answer per
// monitor (GetDpiForWindow, looked up at run time so that the program still
// starts on older systems); before that, the system-wide density of the screen.
int DpiOfWindow(HWND hwnd);
// The density of the screen before any window exists.
int SystemDpi();

}  // namespace kanvel::platform::win32
