#include "platform/win32/http/WinHttpRequest.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>
#include <vector>

#include "platform/win32/http/SecureFailures.h"
#include "platform/win32/http/SocketErrors.h"
#include "platform/win32/http/WinHttpHandle.h"
#include "services/installer/InstallerError.h"

namespace kanvel::platform::win32 {
namespace {

constexpr DWORD ReadBlockSize = 64 * 1024;

static_assert(secure::CertificateDateInvalid == ERROR_WINHTTP_SECURE_CERT_DATE_INVALID);
static_assert(secure::CertificateNameInvalid == ERROR_WINHTTP_SECURE_CERT_CN_INVALID);
static_assert(secure::ClientCertificateNeeded == ERROR_WINHTTP_CLIENT_AUTH_CERT_NEEDED);
static_assert(secure::UntrustedIssuer == ERROR_WINHTTP_SECURE_INVALID_CA);
static_assert(secure::RevocationCheckFailed == ERROR_WINHTTP_SECURE_CERT_REV_FAILED);
static_assert(secure::ChannelError == ERROR_WINHTTP_SECURE_CHANNEL_ERROR);
static_assert(secure::InvalidCertificate == ERROR_WINHTTP_SECURE_INVALID_CERT);
static_assert(secure::CertificateRevoked == ERROR_WINHTTP_SECURE_CERT_REVOKED);
static_assert(secure::Failure == ERROR_WINHTTP_SECURE_FAILURE);
static_assert(secure::CertificateWrongUsage == ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE);
static_assert(secure::FlagRevocationCheckFailed == WINHTTP_CALLBACK_STATUS_FLAG_CERT_REV_FAILED);
static_assert(secure::FlagInvalidCertificate == WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CERT);
static_assert(secure::FlagCertificateRevoked == WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED);
static_assert(secure::FlagUntrustedIssuer == WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA);
static_assert(secure::FlagNameInvalid == WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID);
static_assert(secure::FlagDateInvalid == WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID);
static_assert(secure::FlagWrongUsage == WINHTTP_CALLBACK_STATUS_FLAG_CERT_WRONG_USAGE);
static_assert(secure::FlagChannelError == WINHTTP_CALLBACK_STATUS_FLAG_SECURITY_CHANNEL_ERROR);

struct RequestTarget {
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring pathAndQuery;
    bool secure = false;
};

// A failed call of a request: a secure connection that could not be made is
// told in its own words (never as a socket error, which would read as a
// missing internet connection); anything else is a connection failure.
[[noreturn]] void ThrowRequestFailure(DWORD error, DWORD secureFailureFlags) {
    if (const auto cause = SecureFailureCause(error, secureFailureFlags)) {
        throw services::TransferFailure::SecureChannel(*cause);
    }
    throw ConnectionFailure(error);
}

// Collects the flags of the secure-failure notice into the DWORD that the
// request's context points at. Windows checks the certificate itself; this
// only learns why it refused it.
void CALLBACK NoteSecureFailure(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information, DWORD length) {
    if (status == WINHTTP_CALLBACK_STATUS_SECURE_FAILURE && context != 0 && information != nullptr &&
        length >= sizeof(DWORD)) {
        *reinterpret_cast<DWORD*>(context) |= *static_cast<const DWORD*>(information);
    }
}

// Lets the channel's Cancel (or Fail) close the request from the waiting
// thread while this worker may be blocked in a call on it. WinHTTP's
// documentation of WinHttpCloseHandle: closing the request handle terminates
// a request in progress, and no other WinHTTP call may use the handle
// afterwards from any thread; WinINet's InternetCloseHandle says the same of
// a thread blocked in a call, which returns. Under Wine 8 the blocked call
// may go on until its time-out; the queue has freed the slot by then. The
// request is closed once: by Cancel, or here when Cancel did not come.
// A worker that finds its transfer given up stops before its next call
// (every Push tells it), so only a cancel in the instant between two calls
// lets one more call meet the closed handle, which fails as invalid.
class ClosedByCancel {
public:
    ClosedByCancel(WinHttpHandle& request, services::TransferChannel& channel) : request_(request), channel_(channel) {
        HINTERNET handle = request.get();
        if (!channel.StopWith([handle] { WinHttpCloseHandle(handle); }))
            throw ConnectionFailure(ERROR_WINHTTP_OPERATION_CANCELLED);
    }
    ~ClosedByCancel() {
        if (!channel_.TakeStopBack()) static_cast<void>(request_.release());
    }
    ClosedByCancel(const ClosedByCancel&) = delete;
    ClosedByCancel& operator=(const ClosedByCancel&) = delete;

private:
    WinHttpHandle& request_;
    services::TransferChannel& channel_;
};

RequestTarget CrackUrl(const std::wstring& url) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
        ThrowLastConnectionFailure();
    }
    RequestTarget target;
    target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    target.port = parts.nPort;
    target.pathAndQuery.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (target.pathAndQuery.empty()) {
        target.pathAndQuery = L"/";
    }
    target.pathAndQuery.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    return target;
}

WinHttpHandle OpenRequest(const WinHttpHandle& connection, const RequestTarget& target) {
    // The path goes out exactly as the caller wrote it: no escaping added.
    DWORD flags = WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY;
    if (target.secure) {
        flags |= WINHTTP_FLAG_SECURE;
    }
    WinHttpHandle request(WinHttpOpenRequest(connection.get(), L"GET", target.pathAndQuery.c_str(), nullptr,
                                             WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    if (!request) {
        ThrowLastConnectionFailure();
    }
    return request;
}

// A redirect's own status line is the answer: the policy says never follow,
// and the feature switch says the same to WinHTTP versions without the policy.
void DisableRedirects(const WinHttpHandle& request) {
    DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    DWORD disable = WINHTTP_DISABLE_REDIRECTS;
    if (!WinHttpSetOption(request.get(), WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy) ||
        !WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &disable, sizeof disable)) {
        ThrowLastConnectionFailure();
    }
}

void SendAndReceive(const WinHttpHandle& request, const std::wstring& headers) {
    const wchar_t* headerText = headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str();
    const auto headerLength = static_cast<DWORD>(headers.size());
    // Without the notice (a WinHTTP that refuses the callback) a refused
    // certificate is still refused; only its text is the general one.
    DWORD secureFailureFlags = 0;
    WinHttpSetStatusCallback(request.get(), NoteSecureFailure, WINHTTP_CALLBACK_FLAG_SECURE_FAILURE, 0);
    const auto context = reinterpret_cast<DWORD_PTR>(&secureFailureFlags);
    const bool answered =
        WinHttpSendRequest(request.get(), headerText, headerLength, WINHTTP_NO_REQUEST_DATA, 0, 0, context) &&
        WinHttpReceiveResponse(request.get(), nullptr);
    const DWORD error = answered ? ERROR_SUCCESS : GetLastError();
    // The flags live on this stack frame: no notice may reach them later.
    WinHttpSetStatusCallback(request.get(), nullptr, 0, 0);
    if (!answered) {
        ThrowRequestFailure(error, secureFailureFlags);
    }
}

std::optional<std::wstring> QueryHeaderText(const WinHttpHandle& request, DWORD infoLevel) {
    DWORD size = 0;
    const BOOL sized = WinHttpQueryHeaders(request.get(), infoLevel, WINHTTP_HEADER_NAME_BY_INDEX,
                                           WINHTTP_NO_OUTPUT_BUFFER, &size, WINHTTP_NO_HEADER_INDEX);
    if (sized || GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return std::nullopt;
    }
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (!WinHttpQueryHeaders(request.get(), infoLevel, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &size,
                             WINHTTP_NO_HEADER_INDEX)) {
        return std::nullopt;
    }
    text.resize(size / sizeof(wchar_t));
    return text;
}

DWORD QueryStatusCode(const WinHttpHandle& request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
        ThrowLastConnectionFailure();
    }
    return status;
}

// The answer's status: version, code and reason phrase as the server sent them.
services::TransferFailure StatusFailure(const WinHttpHandle& request, DWORD statusCode) {
    return services::TransferFailure::HttpStatus(QueryHeaderText(request, WINHTTP_QUERY_VERSION).value_or(L"HTTP/1.1"),
                                                 static_cast<int>(statusCode),
                                                 QueryHeaderText(request, WINHTTP_QUERY_STATUS_TEXT).value_or(L""));
}

// The announced Content-Length, read as text so lengths past 4 GiB survive.
std::optional<std::int64_t> QueryContentLength(const WinHttpHandle& request) {
    const auto text = QueryHeaderText(request, WINHTTP_QUERY_CONTENT_LENGTH);
    if (!text || text->empty()) {
        return std::nullopt;
    }
    std::string digits;
    for (wchar_t c : *text) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        digits += static_cast<char>(c);
    }
    std::int64_t length = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), length);
    if (error != std::errc{} || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return length;
}

// "bytes <first>-<last>/<complete length>" of a 206 answer: where the part
// starts and how long the whole body is; nothing read when it is malformed
// or the length is "*".
void ReadContentRange(const std::wstring& text, services::DeclaredBody& declared) {
    std::string ascii;
    for (wchar_t c : text) ascii += c < 0x80 ? static_cast<char>(c) : '?';
    long long first = 0, last = 0, complete = 0;
    char end = 0;
    if (std::sscanf(ascii.c_str(), "bytes %lld-%lld/%lld%c", &first, &last, &complete, &end) != 3) return;
    if (first < 0 || last < first || complete <= last) return;
    declared.rangeStart = first;
    declared.completeLength = complete;
}

// What the answer declared of its body. A body sent in chunks has no
// declared length, whatever Content-Length says beside it.
services::DeclaredBody Declaration(const WinHttpHandle& request, DWORD status) {
    services::DeclaredBody declared;
    declared.chunked = QueryHeaderText(request, WINHTTP_QUERY_TRANSFER_ENCODING).has_value();
    if (!declared.chunked) declared.length = QueryContentLength(request);
    declared.entityTag = QueryHeaderText(request, WINHTTP_QUERY_ETAG).value_or(L"");
    declared.lastModified = QueryHeaderText(request, WINHTTP_QUERY_LAST_MODIFIED).value_or(L"");
    declared.partial = status == HTTP_STATUS_PARTIAL_CONTENT;
    if (declared.partial) ReadContentRange(QueryHeaderText(request, WINHTTP_QUERY_CONTENT_RANGE).value_or(L""), declared);
    return declared;
}

// Waits for the next data of the body and reads what has come, at most
// `capacity` bytes; 0 at the body's end. Asking for a whole block at once
// would wait until it is full (Wine's WinHTTP does), so a body that trickles
// in would never reach the stall rule.
DWORD ReadAvailable(const WinHttpHandle& request, std::uint8_t* block, DWORD capacity) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request.get(), &available)) {
        ThrowRequestFailure(GetLastError(), 0);
    }
    DWORD received = 0;
    if (available > 0 && !WinHttpReadData(request.get(), block, std::min(available, capacity), &received)) {
        ThrowRequestFailure(GetLastError(), 0);
    }
    return received;
}

// A body that trickles in slower than the stall rule allows ends as a
// time-out, as a wait for data that ran out would.
void CheckPace(services::StallWatch& watch, std::int64_t done) {
    if (watch.Stalled(services::StallWatch::Clock::now(), done)) throw ConnectionFailure(ERROR_WINHTTP_TIMEOUT);
}

// Hands the body to the channel as it arrives, what the answer declared of
// it first. Whether the body is complete is the caller's to judge.
void ReadBody(const WinHttpHandle& request, DWORD status, const StallRule& stall, services::TransferChannel& channel) {
    if (!channel.Push(services::TransferChannel::Event::Begin(Declaration(request, status)))) return;
    services::StallWatch pace(services::StallWatch::Clock::now(), stall.window, stall.minimumBytes);
    std::int64_t done = 0;
    for (;;) {
        std::vector<std::uint8_t> block(ReadBlockSize);
        const DWORD received = ReadAvailable(request, block.data(), ReadBlockSize);
        if (received == 0) {
            break;
        }
        block.resize(received);
        done += received;
        if (!channel.Push(services::TransferChannel::Event::Block(std::move(block)))) return;
        CheckPace(pace, done);
    }
    channel.Push(services::TransferChannel::Event::End());
}

// Reads what is left of an answer that is not wanted (a 401's or a 407's
// page), so that the request can be sent again on the same connection.
void DiscardBody(const WinHttpHandle& request) {
    std::vector<std::uint8_t> block(ReadBlockSize);
    DWORD available = 0, received = 0;
    while (WinHttpQueryDataAvailable(request.get(), &available) && available > 0 &&
           WinHttpReadData(request.get(), block.data(), std::min(available, ReadBlockSize), &received) &&
           received > 0) {
    }
}

// Lets the logged-on user's own sign-in go to the proxy (and to nothing else),
// where the route allows it.
bool SignInAsLoggedOnUser(const WinHttpHandle& request, const services::ProxyRoute& route, DWORD schemes) {
    if (!route.accountSignIn) return false;
    const DWORD scheme = (schemes & WINHTTP_AUTH_SCHEME_NEGOTIATE) ? WINHTTP_AUTH_SCHEME_NEGOTIATE
                         : (schemes & WINHTTP_AUTH_SCHEME_NTLM)    ? WINHTTP_AUTH_SCHEME_NTLM
                                                                   : 0;
    if (scheme == 0) return false;
    DWORD policy = WINHTTP_AUTOLOGON_SECURITY_LEVEL_LOW;
    WinHttpSetOption(request.get(), WINHTTP_OPTION_AUTOLOGON_POLICY, &policy, sizeof policy);
    return WinHttpSetCredentials(request.get(), WINHTTP_AUTH_TARGET_PROXY, scheme, nullptr, nullptr, nullptr) != FALSE;
}

// The schemes the proxy's 407 answer offers; none when it cannot be read.
DWORD ProxySchemes(const WinHttpHandle& request) {
    DWORD supported = 0, first = 0, target = 0;
    if (!WinHttpQueryAuthSchemes(request.get(), &supported, &first, &target) || target != WINHTTP_AUTH_TARGET_PROXY)
        return 0;
    return supported;
}

// Answers a proxy's 407: the status of the request sent again, signed in;
// the 407 itself when the proxy offers no scheme this client speaks.
DWORD SignInToProxy(const WinHttpHandle& request, const services::ProxyRoute& route,
                    const std::optional<services::ProxyCredentials>& credentials) {
    DWORD schemes = ProxySchemes(request);
    DWORD status = HTTP_STATUS_PROXY_AUTH_REQ;
    if (SignInAsLoggedOnUser(request, route, schemes)) {
        DiscardBody(request);
        SendAndReceive(request, {});
        status = QueryStatusCode(request);
        if (status != HTTP_STATUS_PROXY_AUTH_REQ) return status;
        schemes = ProxySchemes(request);
    }
    if (!(schemes & WINHTTP_AUTH_SCHEME_BASIC)) return status;
    using Reason = services::ProxySignInFailed::Reason;
    if (!credentials) throw ProxySignInFailedAt(Reason::NotGiven, route.proxy);
    // Set for the proxy target, they go in Proxy-Authorization, to the
    // proxy only (on the CONNECT of a secure tunnel), never to the server.
    if (!WinHttpSetCredentials(request.get(), WINHTTP_AUTH_TARGET_PROXY, WINHTTP_AUTH_SCHEME_BASIC,
                               credentials->username.c_str(), credentials->password.c_str(), nullptr))
        ThrowLastConnectionFailure();
    DiscardBody(request);
    SendAndReceive(request, {});
    status = QueryStatusCode(request);
    if (status == HTTP_STATUS_PROXY_AUTH_REQ) throw ProxySignInFailedAt(Reason::Refused, route.proxy);
    return status;
}

// Sends the request and answers what stands between it and the server's
// answer: the proxy's sign-in, and the server's 401 when its credentials
// wait for the tunnel. Headers given to a request stay on it for every resend.
DWORD SendSignedIn(const WinHttpHandle& request, const services::ProxyRoute& route, bool credentialsInTunnel,
                   const RequestHeaders& headers, const std::optional<services::ProxyCredentials>& proxyCredentials) {
    SendAndReceive(request, credentialsInTunnel ? headers.plain : headers.plain + headers.credentials);
    DWORD status = QueryStatusCode(request);
    if (status == HTTP_STATUS_PROXY_AUTH_REQ) status = SignInToProxy(request, route, proxyCredentials);
    if (credentialsInTunnel && status == HTTP_STATUS_DENIED) {
        DiscardBody(request);
        SendAndReceive(request, headers.credentials);
        status = QueryStatusCode(request);
    }
    return status;
}

// A route whose proxy may not have the account's sign-in: WinHTTP is told
// never to send it on its own either (WINHTTP_OPTION_AUTOLOGON_POLICY, HIGH:
// default credentials are never used automatically).
void WithholdAccountSignIn(const WinHttpHandle& request, const services::ProxyRoute& route) {
    if (route.direct() || route.accountSignIn) return;
    DWORD policy = WINHTTP_AUTOLOGON_SECURITY_LEVEL_HIGH;
    if (!WinHttpSetOption(request.get(), WINHTTP_OPTION_AUTOLOGON_POLICY, &policy, sizeof policy))
        ThrowLastConnectionFailure();
}

void Get(HINTERNET session, const services::ProxyRoute& route, const std::wstring& url, const RequestHeaders& headers,
         const std::optional<services::ProxyCredentials>& proxyCredentials, const StallRule& stall,
         services::TransferChannel& channel) {
    const RequestTarget target = CrackUrl(url);
    WinHttpHandle connection(WinHttpConnect(session, target.host.c_str(), target.port, 0));
    if (!connection) {
        ThrowLastConnectionFailure();
    }
    WinHttpHandle request = OpenRequest(connection, target);
    const ClosedByCancel closedByCancel(request, channel);
    DisableRedirects(request);
    WithholdAccountSignIn(request, route);
    const bool credentialsInTunnel = !route.direct() && target.secure && !headers.credentials.empty();
    const DWORD status = SendSignedIn(request, route, credentialsInTunnel, headers, proxyCredentials);
    if (status < 200 || status > 299) {
        throw StatusFailure(request, status);
    }
    ReadBody(request, status, stall, channel);
}

}  // namespace

void RunBlockingGet(HINTERNET session, const services::ProxyRoute& route, const std::wstring& url,
                    const RequestHeaders& headers, const std::optional<services::ProxyCredentials>& proxyCredentials,
                    const StallRule& stall, services::TransferChannel& channel) noexcept {
    try {
        Get(session, route, url, headers, proxyCredentials, stall, channel);
    } catch (...) {
        channel.Push(services::TransferChannel::Event::Failed(std::current_exception()));
    }
}

}  // namespace kanvel::platform::win32
