#include "services/Paths.h"

namespace kanvel::services {

namespace {
constexpr const wchar_t* kPartialEnding = L".part";
constexpr std::size_t kMaxNameLength = 255;
}  // namespace

std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return std::wstring();
    // "C:\file" -> "C:\": the root keeps its separator.
    if (slash == 2 && path[1] == L':') return path.substr(0, 3);
    if (slash == 0) return path.substr(0, 1);
    return path.substr(0, slash);
}

std::wstring PartialFilePath(const std::wstring& target) {
    const auto slash = target.find_last_of(L'\\');
    const std::size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    const std::wstring ending = kPartialEnding;
    std::wstring partial = target;
    const std::size_t nameLength = target.size() - nameStart;
    if (nameLength + ending.size() > kMaxNameLength) partial.resize(nameStart + kMaxNameLength - ending.size());
    return partial + ending;
}

std::wstring UpperCaseAscii(std::wstring text) {
    for (auto& c : text)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return text;
}

}  // namespace kanvel::services
