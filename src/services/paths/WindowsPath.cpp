#include "services/paths/WindowsPath.h"

#include <algorithm>

namespace kanvel::services {

namespace {
constexpr wchar_t kSeparator = L'\\';
// A shortcut's working folder ends after a drive's ":" as well.
constexpr std::wstring_view kWorkingFolderEnds = L"\\:";

wchar_t UpperAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }
wchar_t LowerAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Where the part after the last of the characters begins; 0 when none is there.
std::size_t AfterLastOf(std::wstring_view path, std::wstring_view characters) {
    const auto last = path.find_last_of(characters);
    return last == std::wstring_view::npos ? 0 : last + 1;
}

std::size_t NameStart(std::wstring_view path) { return AfterLastOf(path, std::wstring_view(&kSeparator, 1)); }

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

std::wstring_view FolderWithSeparatorOf(std::wstring_view path) {
    return path.substr(0, AfterLastOf(path, kWorkingFolderEnds));
}

std::wstring FolderOf(std::wstring_view path) {
    std::wstring_view folder = path.substr(0, NameStart(path));
    if (!IsRoot(folder) && folder.ends_with(kSeparator)) folder.remove_suffix(1);
    return std::wstring(folder);
}

std::wstring_view LastNameOf(std::wstring_view path) {
    while (path.ends_with(kSeparator)) path.remove_suffix(1);
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
