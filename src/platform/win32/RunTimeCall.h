#pragma once

#include <windows.h>

namespace kanvel::platform::win32 {

// Finds a function of a loaded DLL by its name, for the calls a program
// may not import (missing on some systems, or in a DLL that is loaded only
// from System32 when needed); nullptr when the DLL has no such function.
template <class Function>
void LookUp(HMODULE module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace kanvel::platform::win32
