#pragma once

#include <windows.h>

#include <string>

namespace kanvel::demo {

// Shows a small fixed window with a line of text and a close button, and
// returns the program's exit code once the window is closed.
int RunDemoWindow(HINSTANCE instance, const std::wstring& title, const std::wstring& message);

}  // namespace kanvel::demo
