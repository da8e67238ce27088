#pragma once

#include <windows.h>
#include <winhttp.h>

namespace kanvel::platform::win32 {

// Owns one WinHTTP handle (session, connection or request) and closes it.
class WinHttpHandle {
public:
    WinHttpHandle() noexcept = default;
    explicit WinHttpHandle(HINTERNET handle) noexcept : handle_(handle) {}
    ~WinHttpHandle();

    WinHttpHandle(WinHttpHandle&& other) noexcept;
    WinHttpHandle& operator=(WinHttpHandle&& other) noexcept;
    WinHttpHandle(const WinHttpHandle&) = delete;
    WinHttpHandle& operator=(const WinHttpHandle&) = delete;

    HINTERNET get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }

private:
    HINTERNET handle_ = nullptr;
};

}  // namespace kanvel::platform::win32
