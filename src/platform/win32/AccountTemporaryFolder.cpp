#include "platform/win32/AccountTemporaryFolder.h"

#include <windows.h>

namespace kanvel::platform::win32 {

std::wstring AccountTemporaryFolder() {
    // Looked up at run time: older Windows and Wine have only GetTempPathW.
    using TempPathFunction = DWORD(WINAPI*)(DWORD, LPWSTR);
    const auto tempPath2 = reinterpret_cast<TempPathFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTempPath2W")));
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = tempPath2 ? tempPath2(MAX_PATH + 1, folder) : GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return std::wstring();
    return std::wstring(folder, length);
}

}  // namespace kanvel::platform::win32
