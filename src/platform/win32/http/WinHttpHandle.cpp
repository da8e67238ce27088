#include "platform/win32/http/WinHttpHandle.h"

#include <utility>

namespace kanvel::platform::win32 {

WinHttpHandle::~WinHttpHandle() {
    if (handle_ != nullptr) {
        WinHttpCloseHandle(handle_);
    }
}

WinHttpHandle::WinHttpHandle(WinHttpHandle&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

WinHttpHandle& WinHttpHandle::operator=(WinHttpHandle&& other) noexcept {
    if (this != &other) {
        WinHttpHandle old(std::exchange(handle_, std::exchange(other.handle_, nullptr)));
    }
    return *this;
}

}  // namespace kanvel::platform::win32
