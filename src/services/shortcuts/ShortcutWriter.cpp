#include "services/shortcuts/ShortcutWriter.h"

#include "services/installer/InstallerError.h"
#include "services/shortcuts/ShellLink.h"
#include "services/paths/WindowsPath.h"

namespace kanvel::services {

namespace {
constexpr const wchar_t* kNoTargetError = L"Brak nazwy pliku, do którego ma zostać utworzony skrót";
constexpr std::uint16_t kControlAndAlt = 0x600;  // HOTKEYF_CONTROL | HOTKEYF_ALT, in the high byte
constexpr std::uint16_t kLowerCaseBit = 0x20;
}  // namespace

std::uint16_t HotkeyWord(wchar_t key) {
    auto code = static_cast<std::uint16_t>(key);
    if (code >= L'a' && code <= L'z') code = static_cast<std::uint16_t>(code & ~kLowerCaseBit);
    return static_cast<std::uint16_t>(code | kControlAndAlt);
}

void UtworzSkrot(Shell& shell, const std::wstring& linkFile, TParametrySkrotu parametry) {
    const auto link = shell.CreateShellLink();
    if (parametry.SciezkaPliku.empty()) throw InstallerError(kNoTargetError);
    if (parametry.katalogRoboczy.empty()) parametry.katalogRoboczy = FolderWithSeparatorOf(parametry.SciezkaPliku);
    if (parametry.rodzajokna == 0) parametry.rodzajokna = kShowNormal;

    link->SetPath(parametry.SciezkaPliku);
    link->SetWorkingDirectory(parametry.katalogRoboczy);
    link->SetArguments(parametry.argumenty);
    if (!parametry.opis.empty()) link->SetDescription(parametry.opis);
    link->SetShowCmd(parametry.rodzajokna);
    if (!parametry.SciezkaIkony.empty()) link->SetIconLocation(parametry.SciezkaIkony, parametry.numerIkony);
    if (parametry.klawiszSkrotu != 0) link->SetHotkey(HotkeyWord(parametry.klawiszSkrotu));
    link->Save(linkFile);
}

}  // namespace kanvel::services
