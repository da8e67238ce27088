// A stand-in for the database engine installer: it shows what it is and
// installs nothing.
#include <windows.h>

#include "DemoWindow.h"

namespace {

constexpr const wchar_t* Title = L"Instalator silnika bazy danych (wersja demonstracyjna)";
constexpr const wchar_t* Message =
    L"To jest demonstracyjny instalator silnika bazy danych. Niczego nie instaluje.";

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return kanvel::demo::RunDemoWindow(instance, Title, Message);
}
