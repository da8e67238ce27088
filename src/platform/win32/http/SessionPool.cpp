#include "platform/win32/http/SessionPool.h"

#include "platform/win32/http/SocketErrors.h"

namespace kanvel::platform::win32 {
namespace {
constexpr const wchar_t* UserAgent = L"Kanvel-Installer/7.0";
}  // namespace

SessionPool::SessionPool(std::chrono::milliseconds connectTimeout, std::chrono::milliseconds receiveTimeout)
    : connectTimeout_(connectTimeout), receiveTimeout_(receiveTimeout) {}

std::shared_ptr<WinHttpHandle> SessionPool::For(const services::ProxyRoute& route) {
    const std::lock_guard lock(mutex_);
    auto& session = sessions_[route.proxy];
    if (!session) session = std::make_shared<WinHttpHandle>(open(route));
    return session;
}

WinHttpHandle SessionPool::open(const services::ProxyRoute& route) const {
    // The route was chosen for the URL already, bypass list included: the
    // session sends everything the one way.
    WinHttpHandle session(route.direct()
                              ? WinHttpOpen(UserAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                            WINHTTP_NO_PROXY_BYPASS, 0)
                              : WinHttpOpen(UserAgent, WINHTTP_ACCESS_TYPE_NAMED_PROXY, route.proxy.c_str(),
                                            WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) ThrowLastConnectionFailure();
    // Name resolution and connecting share one limit; sending, waiting for the
    // answer's headers and waiting for each block of the body share the other.
    const auto connectMs = static_cast<int>(connectTimeout_.count());
    const auto receiveMs = static_cast<int>(receiveTimeout_.count());
    DWORD responseMs = static_cast<DWORD>(receiveMs);
    if (!WinHttpSetTimeouts(session.get(), connectMs, connectMs, receiveMs, receiveMs) ||
        !WinHttpSetOption(session.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseMs, sizeof responseMs)) {
        ThrowLastConnectionFailure();
    }
    return session;
}

}  // namespace kanvel::platform::win32
