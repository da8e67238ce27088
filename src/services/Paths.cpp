#include "services/Paths.h"

namespace kanvel::services {

std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return std::wstring();
    // "C:\file" -> "C:\": the root keeps its separator.
    if (slash == 2 && path[1] == L':') return path.substr(0, 3);
    if (slash == 0) return path.substr(0, 1);
    return path.substr(0, slash);
}

std::wstring UpperCaseAscii(std::wstring text) {
    for (auto& c : text)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return text;
}

}  // namespace kanvel::services
