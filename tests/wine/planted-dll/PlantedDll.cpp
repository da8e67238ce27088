// A DLL that someone planted beside a program, under the name of a system
// DLL: when a process loads it, it leaves "<its own path>.loaded" beside
// itself, which the test looks for. It offers the one function the control
// program imports, so that a program importing it normally starts.
#include <windows.h>

#include <string>

extern "C" __declspec(dllexport) BOOL WINAPI WinHttpCheckPlatform() { return FALSE; }

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH) return TRUE;
    const std::wstring marker = std::wstring(path, length) + L".loaded";
    const HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}
