#include "platform/win32/MarkOfTheWeb.h"

#include <windows.h>

namespace kanvel::platform::win32 {

namespace {
constexpr const wchar_t* kZoneStream = L":Zone.Identifier";
}  // namespace

void RemoveMarkOfTheWeb(const std::wstring& file) {
    // A file without the stream (the usual case) leaves nothing to do.
    DeleteFileW((file + kZoneStream).c_str());
}

}  // namespace kanvel::platform::win32
