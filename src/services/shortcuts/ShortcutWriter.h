#pragma once

#include <cstdint>
#include <string>

#include "services/system/Shell.h"

namespace kanvel::services {

// What a shortcut starts and how.
struct TParametrySkrotu {
    std::wstring SciezkaPliku;    // the program the shortcut starts; must not be empty
    std::wstring argumenty;       // its command line, empty for none
    std::wstring katalogRoboczy;  // working folder; empty: the program's folder
    std::wstring opis;            // description, empty for none
    std::wstring SciezkaIkony;    // file with the icon; empty: the program's own
    std::int32_t rodzajokna = 0;  // show command; 0 means normal (1)
    std::int32_t numerIkony = 0;  // icon index in SciezkaIkony
    wchar_t klawiszSkrotu = 0;    // hot key letter (with Ctrl+Alt); 0 for none
};

// Writes the shortcut file (its folder must exist; an existing file is
// overwritten). The record is taken by value: filled-in defaults never reach
// the caller's copy. Throws for an empty program path and when the shell's
// link object cannot be had; the shell calls' own failures go unreported.
void UtworzSkrot(Shell& shell, const std::wstring& linkFile, TParametrySkrotu parametry);

// The shell's hot-key word: the key in the low byte, Ctrl and Alt in the high.
std::uint16_t HotkeyWord(wchar_t key);

}  // namespace kanvel::services
