#include "install/InstalledFolder.h"

#include <algorithm>
#include <cwctype>
#include <string_view>

#include "install/InstallLayout.h"

namespace kanvel::install {

namespace {

std::wstring_view LastComponent(std::wstring_view path) {
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.remove_suffix(1);
    const auto separator = path.find_last_of(L"\\/:");
    return separator == std::wstring_view::npos ? path : path.substr(separator + 1);
}

// File names compare without regard to case, as the file system does.
bool SameName(std::wstring_view a, std::wstring_view b) {
    return std::ranges::equal(a, b, [](wchar_t x, wchar_t y) { return std::towupper(x) == std::towupper(y); });
}

}  // namespace

std::wstring InstalledFolder(const std::wstring& installDir, const std::wstring& installBase) {
    const std::wstring_view familyName = std::wstring_view(kFamilyFolder).substr(1);  // without the backslash
    if (SameName(LastComponent(installDir), familyName)) return installDir;
    return installBase + kFamilyFolder;
}

}  // namespace kanvel::install
