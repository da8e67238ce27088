// A program that imports WinHTTP the ordinary way, with no restriction of the
// DLL search: the control that shows a planted winhttp.dll beside a program
// is loaded at all, so that the installer's test can fail.
#include <windows.h>
#include <winhttp.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return WinHttpCheckPlatform() ? 0 : 1; }
