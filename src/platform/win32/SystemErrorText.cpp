#include "platform/win32/SystemErrorText.h"

#include <cwctype>

#include "platform/win32/ResourceHolders.h"

namespace kanvel::platform::win32 {

std::wstring SystemErrorText(DWORD code) {
    constexpr DWORD flags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    LocalMemory<wchar_t*> buffer;
    // With ALLOCATE_BUFFER the call writes the address of the text it made
    // into the buffer argument.
    const DWORD length = FormatMessageW(flags, nullptr, code, 0, reinterpret_cast<wchar_t*>(buffer.put()), 0, nullptr);
    if (length == 0) return std::wstring();
    std::wstring text(buffer.get(), length);
    while (!text.empty() && std::iswspace(text.back())) text.pop_back();
    return text;
}

}  // namespace kanvel::platform::win32
