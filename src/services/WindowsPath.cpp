#include "services/WindowsPath.h"

#include <algorithm>

namespace kanvel::services {

namespace {
constexpr std::wstring_view kSeparators = L"\\/:";
constexpr wchar_t kSeparator = L'\\';

wchar_t UpperAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }
wchar_t LowerAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

std::size_t NameStart(std::wstring_view path) {
    const auto last = path.find_last_of(kSeparators);
    return last == std::wstring_view::npos ? 0 : last + 1;
}

bool IsRoot(std::wstring_view folder) {
    return folder == L"\\" || (folder.size() == 3 && folder[1] == L':' && folder[2] == kSeparator);
}
}  // namespace

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    path += kSeparator;
    path += name;
    return path;
}

std::wstring_view FileNameOf(std::wstring_view path) { return path.substr(NameStart(path)); }

std::wstring_view FolderWithSeparatorOf(std::wstring_view path) { return path.substr(0, NameStart(path)); }

std::wstring FolderOf(std::wstring_view path) {
    std::wstring_view folder = FolderWithSeparatorOf(path);
    if (!IsRoot(folder) && folder.ends_with(kSeparator)) folder.remove_suffix(1);
    return std::wstring(folder);
}

std::wstring_view LastNameOf(std::wstring_view path) {
    while (!path.empty() && (path.back() == kSeparator || path.back() == L'/')) path.remove_suffix(1);
    return FileNameOf(path);
}

std::wstring UpperCaseAscii(std::wstring text) {
    std::ranges::transform(text, text.begin(), UpperAscii);
    return text;
}

std::wstring LowerCaseAscii(std::wstring text) {
    std::ranges::transform(text, text.begin(), LowerAscii);
    return text;
}

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return std::ranges::equal(a, b, [](wchar_t x, wchar_t y) { return UpperAscii(x) == UpperAscii(y); });
}

bool ContainsIgnoringCase(std::wstring_view text, std::wstring_view part) {
    return !std::ranges::search(text, part, [](wchar_t x, wchar_t y) { return UpperAscii(x) == UpperAscii(y); })
                .empty() ||
           part.empty();
}

}  // namespace kanvel::services
