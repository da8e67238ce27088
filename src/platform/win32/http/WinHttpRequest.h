#pragma once

#include <windows.h>
#include <winhttp.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "services/http/HttpClient.h"
#include "services/http/ProxyChoice.h"
#include "services/download/StallWatch.h"
#include "services/http/TransferChannel.h"

namespace kanvel::platform::win32 {

// One GET on a WinHTTP session, with the calls blocking, as the worker of a
// transfer runs it: redirects never followed, the headers sent as given,
// every outcome handed to the channel (what the answer declared of its body,
// the blocks, the end, or the failure as the services::TransferFailure
// HttpClient describes). A body slower than the stall rule ends as a
// time-out. The channel's Cancel closes the request from the waiting thread.
struct StallRule {
    std::chrono::milliseconds window;
    std::int64_t minimumBytes;
};
// The request goes the route's way. A proxy that asks for sign-in (407)
// gets the logged-on user's own where it offers Negotiate or NTLM and the
// route allows it (ProxyRoute::accountSignIn; where it does not, WinHTTP's
// own automatic sign-in is switched off for the request as well), else the
// proxy credentials given, which are that proxy's; without any, the request
// fails with ProxySignInFailedAt (not given) so that the caller can ask the
// user and try again. Credentials the proxy refuses end as
// ProxySignInFailedAt (refused).
//
// Through a proxy, a secure request carries the server's credentials only
// once its tunnel stands (in answer to the server's 401): some WinHTTPs
// (Wine's) copy every request header into the CONNECT the proxy reads.
struct RequestHeaders {
    std::wstring plain;        // sent with every request
    std::wstring credentials;  // the server's Authorization line, or empty
};
void RunBlockingGet(HINTERNET session, const services::ProxyRoute& route, const std::wstring& url,
                    const RequestHeaders& headers, const std::optional<services::ProxyCredentials>& proxyCredentials,
                    const StallRule& stall, services::TransferChannel& channel) noexcept;

// The proxy ("host:port") that did not let a request through: it wants a
// user name and password and none were given for it (NotGiven), or it
// refused those given for it (Refused).
class ProxySignInFailedAt : public services::ProxySignInFailed {
public:
    ProxySignInFailedAt(Reason reason, std::wstring proxy)
        : services::ProxySignInFailed(reason), proxy_(std::move(proxy)) {}
    const std::wstring& proxy() const { return proxy_; }

private:
    std::wstring proxy_;
};

}  // namespace kanvel::platform::win32
