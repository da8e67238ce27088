#include "services/installer/ProgramTitle.h"

#include "services/paths/WindowsPath.h"

namespace kanvel::services {

std::wstring ProgramTitleOf(const std::wstring& executablePath) {
    std::wstring name(FileNameOf(executablePath));
    if (const auto dot = name.find_last_of(L'.'); dot != std::wstring::npos) name.erase(dot);
    if (name.size() > 1) name = name.front() + LowerCaseAscii(name.substr(1));
    return name;
}

}  // namespace kanvel::services
