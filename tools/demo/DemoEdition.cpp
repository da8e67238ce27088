// The demo program of one Kanvel edition; the build names the edition in
// KANVEL_DEMO_EDITION (a wide string literal such as L"Koordynator").
#include <windows.h>

#include <string>

#include "DemoWindow.h"

namespace {

constexpr const wchar_t* ProductName = L"Kanvel";
constexpr const wchar_t* ProductVersion = L"7.0";
constexpr const wchar_t* DemoMark = L"(wersja demonstracyjna)";
constexpr const wchar_t* MessageStart = L"To jest program demonstracyjny edycji ";

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const std::wstring edition = std::wstring(ProductName) + L" " + KANVEL_DEMO_EDITION;
    const std::wstring title = edition + L" " + ProductVersion + L" " + DemoMark;
    const std::wstring message = MessageStart + edition + L".";
    return kanvel::demo::RunDemoWindow(instance, title, message);
}
