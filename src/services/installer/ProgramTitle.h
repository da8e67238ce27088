#pragma once

#include <string>

namespace kanvel::services {

// The program's title, as message boxes show it: the executable's name
// without extension, all but its first letter in lower case ("Instalator").
std::wstring ProgramTitleOf(const std::wstring& executablePath);

}  // namespace kanvel::services
