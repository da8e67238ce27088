#pragma once

#include <windows.h>
#include <winhttp.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "services/http/HttpClient.h"
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
// A proxy that asks for sign-in (407) gets the logged-on user's own where it
// offers Negotiate or NTLM, else the proxy credentials given; without any,
// the request fails with ProxyCredentialsNeeded so that the caller can ask
// the user and try again. Credentials the proxy refuses end as
// services::ProxySignInFailed (refused).
//
// Through a proxy, a secure request carries the server's credentials only
// once its tunnel stands (in answer to the server's 401): some WinHTTPs
// (Wine's) copy every request header into the CONNECT the proxy reads.
struct RequestHeaders {
    std::wstring plain;        // sent with every request
    std::wstring credentials;  // the server's Authorization line, or empty
};
void RunBlockingGet(HINTERNET session, bool throughProxy, const std::wstring& url, const RequestHeaders& headers,
                    const std::optional<services::ProxyCredentials>& proxyCredentials, const StallRule& stall,
                    services::TransferChannel& channel) noexcept;

// The proxy wants a user name and password, and none were given.
class ProxyCredentialsNeeded : public services::ProxySignInFailed {
public:
    ProxyCredentialsNeeded() : services::ProxySignInFailed(Reason::NotGiven) {}
};

}  // namespace kanvel::platform::win32
